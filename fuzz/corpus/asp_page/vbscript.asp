<script runat=server language=VBScript>
x = 1
</script>