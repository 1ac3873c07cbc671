select * from sysprocesses where dbid=db_id('Panel')
kill 52
DROP DATABASE [Panel]