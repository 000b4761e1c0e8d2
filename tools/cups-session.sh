#!/bin/bash
# Usage: tools/cups-session.sh COMMAND [ARGS...]
# Runs COMMAND beside a print server of its own: a cupsd started in the foreground as a process of
# this script (its configuration, spool and socket in a fresh folder), with one queue, "PDF",
# that writes every job as a PDF file into a folder of this session alone (cups-pdf). COMMAND sees
# CUPS_SERVER (the server's socket, which Wine's programs then print to), YIELDORA_PRINT_OUT (the
# folder the PDF files land in) and YIELDORA_PRINTER (the queue's name). The server is stopped by
# its PID and the folder removed when COMMAND ends; COMMAND's exit status is this script's.
# Where the server cannot run (not installed, not root), COMMAND runs without it: YIELDORA_PRINT_SKIP
# then says why, and one line on standard error says so.
set -uo pipefail

skip() {
    echo "cups-session: printing tests skipped: $1" >&2
    export YIELDORA_PRINT_SKIP="$1"
    "${COMMAND[@]}"
    exit $?
}

COMMAND=("$@")
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
for program in cupsd lpadmin lpstat pdftotext pdftoppm; do
    command -v $program >/dev/null || skip "$program is not installed (tools/setup.sh installs it)"
done
[ -x /usr/lib/cups/backend/cups-pdf ] && [ -f $ppd ] ||
    skip "the cups-pdf printer is not installed (printer-driver-cups-pdf)"
[ "$(id -u)" = 0 ] || skip "cupsd and its cups-pdf backend need root"

dir=$(mktemp -d "${TMPDIR:-/tmp}/yieldora-cups.XXXXXX") || skip "no temporary folder"
chmod 755 "$dir"
name=yieldora-$(basename "$dir" | tr -dc 'A-Za-z0-9')
# cups-pdf reads the configuration named after the device's URI from /etc/cups.
config=/etc/cups/cups-pdf-$name.conf
mkdir -p "$dir/etc" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/pdf"
chmod 0711 "$dir/spool"
cat >"$dir/etc/cupsd.conf" <<EOF
Listen $dir/cups.sock
LogLevel warn
Browsing Off
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF
cat >"$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
SystemGroup root
EOF
printf 'Out %s\nTitlePref 1\nDecodeHexStrings 1\n' "$dir/pdf" >"$config"

cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
cupsd_pid=$!
cleanup() {
    kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
    rm -f "$config"
    rm -rf "$dir"
}
trap cleanup EXIT

export CUPS_SERVER=$dir/cups.sock
for _ in $(seq 1 100); do
    lpstat -r 2>/dev/null | grep -q 'is running' && break
    kill -0 "$cupsd_pid" 2>/dev/null || break
    sleep 0.05
done
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null
    echo "cups-session: cupsd did not start (cupsd -f -c $dir/etc/cupsd.conf)" >&2
    exit 1
fi
if ! lpadmin -p PDF -E -v "cups-pdf:/$name" -P $ppd -o printer-is-shared=false -o TitlePref=1 \
    2>"$dir/log/lpadmin.out" || ! lpadmin -d PDF 2>>"$dir/log/lpadmin.out"; then
    cat "$dir/log/lpadmin.out" >&2
    echo "cups-session: the PDF queue could not be made (lpadmin -p PDF -v cups-pdf:/$name)" >&2
    exit 1
fi
export YIELDORA_PRINT_OUT=$dir/pdf
export YIELDORA_PRINTER=PDF
"${COMMAND[@]}"
