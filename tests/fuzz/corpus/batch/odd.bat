rd "C:\Program Files\жпнд"
erase /f "a b.txt" C:\WINDOWS\..\x
rmdir C:\
ping -n 99999999999999999999
start notepad.exe
:: comment
rem x
