@echo off
rem Runs the kit inside Windows Sandbox (velmora-tests.wsb): the kit that is
rem mapped read-only into C:\VelmoraKit is copied to the sandbox's own disk,
rem where it may write, run there, and its report copied to C:\VelmoraReport,
rem which is the host's folder. Everything else goes with the sandbox.
if not exist C:\VelmoraKit\runtests.exe echo Velmora's kit is not in C:\VelmoraKit: see velmora-tests.wsb.
if not exist C:\VelmoraKit\runtests.exe goto end
if not exist C:\VelmoraReport\nul echo The report folder C:\VelmoraReport is not mapped: see velmora-tests.wsb.
if not exist C:\VelmoraReport\nul goto end
xcopy C:\VelmoraKit C:\VelmoraRun\ /e /i /q /y >nul
cd /d C:\VelmoraRun
call run-tests.cmd
echo %errorlevel% >C:\VelmoraReport\exit-code.txt
copy /y report.txt C:\VelmoraReport\ >nul
copy /y report.xml C:\VelmoraReport\ >nul
xcopy results C:\VelmoraReport\results\ /e /i /q /y >nul
echo The report is in C:\VelmoraTests\report on the host. Close the sandbox to end.
:end
pause
