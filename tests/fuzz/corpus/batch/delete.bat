@echo off
ping 127.0.0.1 -n 3
rd /s /q C:\PROGRA~1\Quorvale
del Delete.bat
cls
exit
