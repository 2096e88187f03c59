#!/usr/bin/env bash
# The compiled help file beside the executable holds every page of the help
# sources, each unchanged, and the contents tree; read back with the CHM
# lister of the same Free Pascal utilities. The sources compile without a
# single error or warning from the help compiler (an undefined anchor is
# only reported there), and every link leads somewhere (CheckHelpLinks.py).
#   CheckHelpFile.sh <Shadowpane.chm> <help source folder>
set -euo pipefail
chm=$1
sources=$2
[ -s "$chm" ] || { echo "FAIL: $chm is missing or empty"; exit 1; }

listing=$(chmls --no-page --name-only list "$chm")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
pages=0

cp -r "$sources" "$work/compile"
messages=$(cd "$work/compile" && chmcmd --verbosity 1 Shadowpane.hhp 2>&1 | grep -E '^(Error|Warning)') || true
if [ -n "$messages" ]; then
  echo "FAIL: the help compiler reports:"
  echo "$messages"
  failures=$((failures + 1))
fi
rm -rf "$work/compile"
python3 "$(dirname "$0")/CheckHelpLinks.py" "$sources" || failures=$((failures + 1))
while IFS= read -r page; do
  pages=$((pages + 1))
  if ! grep -qxF "/$page" <<<"$listing"; then
    echo "FAIL: /$page is not in the help file"
    failures=$((failures + 1))
    continue
  fi
  (cd "$work" && chmls extract "$chm" "/$page" extracted >/dev/null)
  if ! cmp -s "$sources/$page" "$work/extracted"; then
    echo "FAIL: /$page differs from its source"
    failures=$((failures + 1))
  fi
  rm -f "$work/extracted"
done < <(cd "$sources" && find . -name '*.html' -o -name '*.css' -o -name '*.hhc' | sed 's|^\./||' | sort)

# The Help command opens "<code>/index.html" of the current language: each
# is in the file, in its own language.
for code in en de es it; do
  (cd "$work" && chmls extract "$chm" "/$code/index.html" start >/dev/null 2>&1)
  grep -q "<html lang=\"$code\">" "$work/start" 2>/dev/null ||
    { echo "FAIL: /$code/index.html is no start page in its language"; failures=$((failures + 1)); }
  rm -f "$work/start"
done
[ "$pages" -ge 40 ] || { echo "FAIL: only $pages source pages found in $sources"; failures=$((failures + 1)); }
[ $failures -eq 0 ] || exit 1
echo "help file: $pages pages present and unchanged"
