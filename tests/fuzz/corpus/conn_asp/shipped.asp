<%
'Quorvale 虚拟主机管理系统 控制面板：数据库连接
'安装程序和修复程序读写下面五个设置，请保持每个设置各占一行。
Option Explicit
Server.ScriptTimeout = 90

Dim DBType, ServerName, UserName, PassWord, DataBase
DBType = "Access"                '数据库类型：Access 或 SQL
ServerName = "(local)"           'SQL Server 数据库服务器
UserName = ""                    '数据库用户名
PassWord = ""                    '数据库密码
DataBase = ""                    '数据库名

Dim Conn, ConnStr
If DBType = "SQL" Then
  ConnStr = "Provider=SQLOLEDB;Data Source=" & ServerName & ";User ID=" & UserName & _
            ";Password=" & PassWord & ";Initial Catalog=" & DataBase
Else
  ConnStr = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" & Server.MapPath("Data/Quorvale.mdb")
End If
Set Conn = Server.CreateObject("ADODB.Connection")
Conn.Open ConnStr
%>
