#!/bin/sh
# LibreOffice Calc, as a spreadsheet user opens them, reads the CSV file and the tab-separated
# export that yieldora-cli prints (the same bytes as the dialog's saved file and its clipboard
# export): four columns, the captions, the figures as numbers and the Chinese remarks intact.
# Usage: libreoffice-check.sh YIELDORA_CLI GOLDEN_FOLDER WORK_FOLDER
# Exit code 77 (skipped) when LibreOffice is not installed.
set -eu
cli=$1
golden=$2
work=$3

if ! command -v soffice >/dev/null 2>&1; then
    echo "soffice is not installed: skipped"
    exit 77
fi

rm -rf "$work"
mkdir -p "$work/home"
"$cli" --csv >"$work/result.csv"
"$cli" --tsv >"$work/result.tsv"
cmp "$work/result.csv" "$golden/default-export.csv"
cmp "$work/result.tsv" "$golden/default-export.tsv"

fail=0
# Reads INPUT with the given field separator and writes it again as CSV in which every text cell
# is quoted, so that a number stands unquoted; then checks what came out.
check() {
    input=$1
    separator=$2
    out="$work/out-$separator"
    HOME="$work/home" soffice --headless --norestore "-env:UserInstallation=file://$work/profile" \
        --infilter="CSV:$separator,34,76,1" \
        --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true' \
        --outdir "$out" "$work/$input" >"$work/soffice-$separator.log" 2>&1
    converted="$out/result.csv"
    if [ ! -f "$converted" ]; then
        echo "FAIL $input: LibreOffice wrote nothing"
        cat "$work/soffice-$separator.log"
        fail=1
        return
    fi
    tr -d '\r' <"$converted" >"$converted.lf"
    expect() {
        if [ "$1" != "$2" ]; then
            echo "FAIL $input: $3: [$1], expected [$2]"
            fail=1
        fi
    }
    expect "$(wc -l <"$converted.lf")" 21 "lines"
    expect "$(sed -n 1p "$converted.lf")" '"年","利息","累计","备注"' "caption line"
    expect "$(sed -n 2p "$converted.lf")" '1,288,10288,"连本带息取出后转存"' "first row"
    expect "$(sed -n 21p "$converted.lf")" '20,494,17645,"取出全部本息"' "last row"
    expect "$(grep -Ec '^[0-9]+,[0-9]+,[0-9]+,"(连本带息取出后转存|取出全部本息)"$' "$converted.lf")" 20 \
        "rows of three numbers and a remark"
}

check result.csv 44
check result.tsv 9

# The comparison of the terms as a CSV file: the figures and the yields (as percentages) are
# numbers, the terms and the best row's mark texts.
"$cli" --compare --rates 1=1.5,2=2.1,3=2.75,5=2.75,10=3 --csv >"$work/compare.csv"
HOME="$work/home" soffice --headless --norestore "-env:UserInstallation=file://$work/profile" \
    --infilter="CSV:44,34,76,1" --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true' \
    --outdir "$work/out-compare" "$work/compare.csv" >"$work/soffice-compare.log" 2>&1
compared="$work/out-compare/compare.csv"
if [ -f "$compared" ]; then
    tr -d '\r' <"$compared" >"$compared.lf"
    expected='"存期","年利率","共得利息","期末本息","折合年化","比最佳少","备注"
"一年期",1.5,2694,12694,1.20%,2682,
"二年期",2.1,3916,13916,1.67%,1460,
"三年期",2.75,5319,15319,2.16%,57,"未到期，第 21 年到期"
"五年期",2.75,5181,15181,2.11%,195,
"十年期",3,5376,15376,2.17%,0,"最佳"'
    if [ "$(cat "$compared.lf")" != "$expected" ]; then
        echo "FAIL compare.csv:"
        cat "$compared.lf"
        fail=1
    fi
else
    echo "FAIL compare.csv: LibreOffice wrote nothing"
    cat "$work/soffice-compare.log"
    fail=1
fi
exit $fail
