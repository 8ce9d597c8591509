# What the Linux build installs, and the Debian package that `cpack` makes
# of it in a build folder.
install(TARGETS session-stats RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Strip as Debian's dh_strip does: the compiler's .comment and .note sections
# go too, which a plain strip keeps.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
      --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/session-stats\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()")
install(FILES ${SESSION_STATS_MAN_PAGE}.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES examples/sessionlog.txt
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES packaging/copyright ${SESSION_STATS_CHANGELOG}.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES share/bash-completion/completions/session-stats
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# `cpack` in a build folder makes a Debian package of what install() lists.
set(SESSION_STATS_MAINTAINER "session-stats developers <session-stats@users.noreply.github.com>"
    CACHE STRING "Maintainer named in the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME session-stats)
set(CPACK_PACKAGE_VENDOR "session-stats developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "statistics report from a fighting-game netplay session log")
set(CPACK_PACKAGE_DESCRIPTION
    "session-stats reads sessionlog.txt, the log of a netplay client for a
two-player fighting game, asks for one player name and writes that player's
report to session_stats.txt: totals, results by character, match lengths,
one section per opponent and grids of results by character pair.

Options name the player, the output and the logs (several as one history,
or standard input), and write the report as text, CSV with one row per
match, JSON, a self-contained HTML page, or an overlay page for streaming
that --follow keeps up to date as the log grows. Filters keep the matches
against one opponent, as or against one character, between two dates or
in the last sessions, and the text report names them. --list lists the
players of the logs, or of a window of dates, to the terminal or a file.

A name that names no player gets hints (letter case, aliases, close
names), and the bash completion offers options, files, characters and the
players of the log.
")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SESSION_STATS_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from dpkg-shlibdeps (package dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
