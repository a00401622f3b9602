<%@ Language="JScript" CodePage="65001" EnableSessionState="False" %>
<!-- #include virtual="/include/shared.asp" -->
<%
var name = Request.QueryString("name");
Session("last") = name;
if (name == "") { Response.Redirect("page.asp?name=x"); }
var re = /a(b)c/g, half = 4 / 2;
%>
<p>Hello <%= Server.HTMLEncode(name) %> (<%= shared() %>)</p>
<script language="JScript" runat="server">
function later() { return "it's \"later\""; }
</script>
