@echo off
rem Runs the Velmora test kit. Run it from the kit's own folder, as an
rem administrator, at the screen; KIT.txt says what it needs and changes.
if not exist runtests.exe echo Run run-tests.cmd from the folder of the kit: cd into it first.
if not exist runtests.exe goto end
runtests.exe
:end
