@echo off
rem The stream overlay of the player session-stats remembers, rewritten
rem after each match as the client writes sessionlog.txt. The first time,
rem session-stats asks for the player and writes his report, which makes
rem it remember him. Close the window (or Ctrl-C) to stop.
setlocal
chcp 65001 >nul
cd /d "%~dp0"
set "remembered=%APPDATA%\session-stats\player.txt"
if not exist "%remembered%" session-stats.exe
if not exist "%remembered%" goto end
set /p player=<"%remembered%"
echo.
echo In your streaming software, add a browser source with this address:
echo file:///%CD:\=/%/session_overlay.html
echo.
session-stats.exe --format=overlay --follow -p "%player%"
:end
pause
