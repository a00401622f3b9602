#!/usr/bin/env bash
# The Debian package as a user gets it: built by CPack from the build folder,
# checked by lintian, desktop-file-validate and appstreamcli, then unpacked into
# a temporary root that is made read-only. An unprivileged user (nobody, when
# this runs as root, which ignores file modes) runs the three programs from
# there: the versions, a site generated from the sample database with the
# installed templates, that site served by the preview host, and the wizard
# opening the project on the offscreen platform. Not one file of the unpacked
# root may change.
#
#   bash tests/package.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

say() { echo "package test: $*"; }
fail() {
    echo "package test: FAILED: $*" >&2
    exit 1
}

scratch="$(mktemp -d /tmp/tessaline-package-XXXXXX)"
preview_pid=
cleanup() {
    [ -n "$preview_pid" ] && kill -TERM "$preview_pid" 2>/dev/null || true
    chmod -R u+w "$scratch" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
chmod 755 "$scratch"

# --- The package --------------------------------------------------------------
cd "$build"
rm -f tessaline_*.deb
cpack -G DEB >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail "cpack"; }
debs=(tessaline_*.deb)
[ -f "${debs[0]}" ] || fail "cpack wrote no tessaline_*.deb"
deb="$build/${debs[0]}"
say "built $(basename "$deb")"
dpkg-deb --field "$deb" Depends Recommends

say "lintian"
# Errors fail the test; warnings are printed for the record.
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reported errors"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
usr="$root/usr"
for file in bin/ordwick bin/ordwick-generate bin/ordwick-preview \
    share/tessaline/samples/shop.db share/tessaline/template/Harbour/index.html \
    share/man/man1/ordwick-generate.1.gz share/icons/hicolor/scalable/apps/tessaline.svg; do
    [ -e "$usr/$file" ] || fail "the package has no /usr/$file"
done
ls "$usr"/lib/*/tessaline/libordwick-engine.so >/dev/null || fail "no private engine library"

desktop-file-validate "$usr/share/applications/org.tessaline.ordwick.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$usr/share/metainfo/org.tessaline.ordwick.metainfo.xml" ||
    fail "appstreamcli validate"

# Nothing may point back into the build: the programs find their files relative
# to themselves.
if grep -rlaF -e "$build" -e "$source_dir" "$usr/bin" "$usr/lib"; then
    fail "the files above hold the build's or the sources' path"
fi

# --- A read-only root, an ordinary user -------------------------------------------
chmod -R a-w "$root"
snapshot() {
    (cd "$root" && find . -printf '%M %U %s %p\n' | sort && find . -type f -exec sha256sum {} + | sort)
}
snapshot >"$scratch/before"

home="$scratch/home"
work="$scratch/work"
mkdir -p "$home/runtime" "$work"
chmod 700 "$home/runtime"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$home" "$work"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
user_env=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/config"
    XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime"
    QT_QPA_PLATFORM=offscreen LANG=C.UTF-8)
run() { "${as_user[@]}" "${user_env[@]}" "$@"; }

for program in ordwick ordwick-generate ordwick-preview; do
    version="$(run "$usr/bin/$program" --version)" || fail "$program --version"
    echo "$version"
    [[ "$version" == *" 1."* ]] || fail "$program --version printed no version"
done

# The sample database, copied for the site, and a project on its customers.
run cp "$usr/share/tessaline/samples/shop.db" "$work/shop.db"
column() { echo "$1=$2;$3;$1;False;False;False;0;$1;False;False;False;0;True;True;False;True;True;30;60;;$4;0;;0;"; }
run tee "$work/customers.pjx" >/dev/null <<EOF
[Configuration]
DatasourceStatus=1
DatasourceType=7
DatabaseName=$work/shop.db
TableName=Customers
DBLogin=
DBPassword=
ConnectionString=Driver={SQLite3}; Database=$work/shop.db
SQLWhereString=
EnableAppend=True
EditAs=True
EnableDelete=True
SimpleSearch=True
AdvancedSearch=True
InitialSort=True
PageSupport=True
LoginPage=False
SelectedTemplate=Harbour
PrinterFriendlyVersion=True
ExportOption=True
RecordsPerPage=True
RecordsPerPageID=1
SortColumnBy=False
SortColumnID=
ShowMoreLink=False
ShowMoreLinkID=80
DynamicStaticLogin=False
CodeLoginName=
CodeLoginPassword=
DynamicTable=
DynamicLoginName=
DynamicLoginPassword=
DestinationPath=$work/site
CopyDatabase=True
[UniqueKey]
1=CustomerID
[Columns]
$(column CustomerID 1 1 9)
$(column CompanyName 4 2 1)
$(column CountryCode 4 3 1)
EOF

say "ordwick-generate"
run "$usr/bin/ordwick-generate" "$work/customers.pjx" || fail "ordwick-generate"
[ -f "$work/site/customers_index.asp" ] || fail "no list page was written"
grep -q "harbour" "$work/site/customers_index.asp" || fail "the list page is not framed by Harbour"

say "ordwick-preview"
# Started without a function around it, so that $! is the host itself. Its
# output comes through a pipe, read line by line until it prints its address.
mkfifo -m 666 "$scratch/preview.out"
"${as_user[@]}" "${user_env[@]}" "$usr/bin/ordwick-preview" --no-browser "$work/site" \
    >"$scratch/preview.out" 2>"$scratch/preview.err" &
preview_pid=$!
exec 4<"$scratch/preview.out"
address=
while [ -z "$address" ]; do
    read -r -t 120 line <&4 || { cat "$scratch/preview.err"; fail "ordwick-preview printed no address"; }
    address="$(sed -n 's|^Open http://127\.0\.0\.1:\([0-9]*\)/\([^ ]*\) .*|\1 \2|p' <<<"$line")"
done
read -r port page <<<"$address"
# The whole answer to a GET of PATH, with COOKIE when given (bash's own TCP client).
http_get() {
    local cookie_line=
    [ -z "${2:-}" ] || cookie_line="Cookie: $2"$'\r\n'
    exec 3<>"/dev/tcp/127.0.0.1/$port"
    printf 'GET %s HTTP/1.0\r\nHost: 127.0.0.1:%s\r\nConnection: close\r\n%s\r\n' \
        "$1" "$port" "$cookie_line" >&3
    cat <&3
    exec 3<&-
}
# The address carries the run's token: the host trades it for a cookie and
# sends the browser on to the page.
first="$(http_get "/$page" | tr -d '\r')"
[[ "$first" == "HTTP/1.1 302"* ]] || { echo "$first" | head -20; fail "the address did not lead on"; }
cookie="$(sed -n 's/^Set-Cookie: \([^;]*\);.*/\1/p' <<<"$first")"
location="$(sed -n 's/^Location: //p' <<<"$first")"
answer="$(http_get "$location" "$cookie")"
[[ "$answer" == "HTTP/1.1 200"* ]] || { echo "$answer" | head -20; fail "the list page did not answer 200"; }
[[ "$answer" == *"Harbour Lights Trading"* ]] || fail "the list page does not list the customers"
kill -TERM "$preview_pid"
wait "$preview_pid" || fail "ordwick-preview did not stop cleanly"
preview_pid=
exec 4<&-

say "ordwick"
shown="$(run "$usr/bin/ordwick" --report-shown "$work/customers.pjx")" || fail "ordwick"
[ "$shown" = "shown" ] || fail "ordwick printed \"$shown\""
grep -qF "$work/customers.pjx" "$home/config/Tessaline/Tessaline.ini" ||
    fail "ordwick did not open the project (it is not in the recent list)"
[ ! -e "$home/data/Tessaline/err.txt" ] || { cat "$home/data/Tessaline/err.txt"; fail "ordwick logged errors"; }

snapshot >"$scratch/after"
diff "$scratch/before" "$scratch/after" || fail "files of the unpacked root changed"
say "passed"
