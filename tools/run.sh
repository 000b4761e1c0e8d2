#!/bin/bash
# Usage: tools/run.sh run | screenshot [win64 | win32]
#
# run (make run): builds yieldora.exe (the 64-bit program unless win32 is asked for: `make run
# ARCH=win32`, where this machine can execute 32-bit programs) and runs it under Wine. With a
# display ($DISPLAY) the program opens there for you to use. Without one it runs on a virtual display: calculate is
# pressed, a screenshot goes to build/screenshot.png, the exported table to build/export.tsv, the
# growth chart's picture to build/chart.png, the schedule is printed to build/print.pdf (through
# the Print dialog, to the PDF printer of a print server of its own: tools/cups-session.sh), and
# the program is closed again.
# screenshot (make screenshot): a fresh copy of the program, with its default inputs, on a virtual
# display; calculate is pressed and the screenshots go to docs/screenshot.png and docs/chart.png,
# and the main window at 150 % (144 DPI) to docs/screenshot-150.png.
#
# The program runs in a Wine prefix of its own, build/wineprefix-run, apart from the tests'.
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
. tools/common.sh

prefix=build/wineprefix-run

# Inside the Wine session: runs PROGRAM for the user.
if [ "${1:-}" = "--show" ]; then
    exec tools/wine-run.sh "$2"
fi

# Inside the Wine session: DRIVER drives PROGRAM; the screenshot goes to SHOT, the export to EXPORT,
# the growth chart's screenshot to CHART and the term comparison's to compare.png beside it; with
# PRINT (the 7th argument, a PDF file) the schedule printed by the session's PDF printer
# (tools/cups-session.sh) is kept there, unless the print server could not run.
if [ "${1:-}" = "--drive" ]; then
    driver=$2 program=$3 shot=$4 export=$5 chart=$6 print=${7:-}
    [ -n "${YIELDORA_PRINT_SKIP:-}" ] && print=
    coproc DRIVE { tools/wine-run.sh "$driver" "$(winepath -w "$program")" \
                   "$(winepath -w "$export")" ${print:+print} 2>&1; }
    drive_pid=$DRIVE_PID
    read -r word x y w h <&"${DRIVE[0]}" || true
    if [ "${word:-}" != "shown" ]; then
        echo "${word:-} ${x:-} ${y:-} ${w:-} ${h:-}"
        cat <&"${DRIVE[0]}" || true
        yieldora_fail "driving $program under Wine: it did not show its window" \
            "tools/wine-run.sh $driver $program"
    fi
    xwd -root -silent | convert xwd:- -crop "${w}x${h%$'\r'}+${x}+${y}" +repage -strip "png:$shot"
    echo go >&"${DRIVE[1]}"
    status=0
    while read -r line; do
        line=${line%$'\r'}
        case $line in
        "exported "*) echo "Calculated and exported ${line#exported } rows." ;;
        "chart "*)
            read -r x y w h <<<"${line#chart }"
            xwd -root -silent | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage -strip "png:$chart"
            echo go >&"${DRIVE[1]}"
            ;;
        "compare "*)
            read -r x y w h <<<"${line#compare }"
            xwd -root -silent | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage -strip \
                "png:$(dirname "$chart")/compare.png"
            echo go >&"${DRIVE[1]}"
            ;;
        printed)
            while [ -n "$(lpstat -o 2>/dev/null)" ]; do sleep 0.1; done
            pdf=$(ls -t "$YIELDORA_PRINT_OUT"/*.pdf 2>/dev/null | head -n 1)
            if [ -n "$pdf" ]; then
                cp "$pdf" "$print"
            else
                echo "the schedule was printed, and the PDF printer wrote no file" >&2
                status=1
            fi
            echo go >&"${DRIVE[1]}"
            ;;
        "exit 0") ;;
        *) echo "$line" >&2; status=1 ;;
        esac
    done <&"${DRIVE[0]}"
    wait "$drive_pid" || status=1
    exit $status
fi

mode=${1:-run}
arch=${2:-win64}
case "$mode $arch" in
"run win32" | "run win64" | "screenshot win32" | "screenshot win64") ;;
*)
    echo "usage: tools/run.sh run | screenshot [win64 | win32]" >&2
    exit 2
    ;;
esac

yieldora_windows_program "$arch" running
yieldora_step "configuring the $arch preset" build/$arch.configure.log yieldora_configure $arch
yieldora_step "building yieldora.exe ($arch)" build/$arch.run-build.log \
    yieldora_build $arch --target yieldora yieldora_drive
program=build/$arch/yieldora.exe
driver=build/$arch/yieldora_drive.exe

if [ "$mode" = screenshot ]; then
    fresh=$(mktemp -d)
    trap 'rm -rf "$fresh"' EXIT
    cp $program "$fresh/"
    tools/wine-session.sh $prefix tools/run.sh --drive $driver "$fresh/yieldora.exe" \
        docs/screenshot.png "$fresh/export.tsv" docs/chart.png || exit 1
    # The same at 150 % (144 DPI), with the settings of a fresh start.
    rm -f "$fresh/yieldora.ini"
    YIELDORA_WINE_DPI=144 tools/wine-session.sh $prefix tools/run.sh --drive $driver \
        "$fresh/yieldora.exe" docs/screenshot-150.png "$fresh/export-150.tsv" "$fresh/chart-150.png" || exit 1
    echo "Screenshots: docs/screenshot.png, docs/chart.png, docs/compare.png, docs/screenshot-150.png"
elif [ -n "${DISPLAY:-}" ]; then
    echo "Running $program on $DISPLAY; its settings are kept in build/$arch/yieldora.ini."
    YIELDORA_KEEP_DISPLAY=1 exec tools/wine-session.sh $prefix tools/run.sh --show $program
else
    rm -f build/print.pdf
    tools/wine-session.sh $prefix tools/cups-session.sh tools/run.sh --drive $driver $program \
        build/screenshot.png build/export.tsv build/chart.png build/print.pdf || exit 1
    echo "There is no display, so $program ($arch) ran on a virtual one, calculated and exported."
    echo "Screenshot: build/screenshot.png"
    echo "Growth chart: build/chart.png"
    echo "Term comparison: build/compare.png"
    echo "Exported table: build/export.tsv"
    if [ -f build/print.pdf ]; then
        echo "Printed schedule: build/print.pdf"
    fi
fi
