# The release archive for Windows: `cpack` in the build folder (or the
# windows workflow) makes session-stats-VERSION-win64.zip, which holds one
# folder of that name with the program, a README for Windows, the licence and
# stream-overlay.cmd (the overlay of the remembered player in one click),
# and the example log in a folder of its own, example/sessionlog.txt. Unpacked
# in the netplay client's folder, the zip so adds a folder and never offers to
# replace the player's own sessionlog.txt with the example. The texts get CR
# LF line ends, for Notepad.
set(windows_texts ${PROJECT_BINARY_DIR}/windows)
configure_file(packaging/windows/README.txt ${windows_texts}/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE ${windows_texts}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(packaging/windows/stream-overlay.cmd
               ${windows_texts}/stream-overlay.cmd @ONLY NEWLINE_STYLE CRLF)

install(TARGETS session-stats RUNTIME DESTINATION .)
install(FILES ${windows_texts}/README.txt ${windows_texts}/LICENSE.txt
              ${windows_texts}/stream-overlay.cmd
        DESTINATION .)
install(FILES examples/sessionlog.txt DESTINATION example)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME session-stats)
set(CPACK_PACKAGE_VENDOR "session-stats developers")
set(CPACK_PACKAGE_FILE_NAME session-stats-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
