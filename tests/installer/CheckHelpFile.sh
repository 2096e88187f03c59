#!/usr/bin/env bash
# The compiled help file beside the executable holds every page of the help
# sources, each unchanged, and the contents tree; read back with the CHM
# lister of the same Free Pascal utilities.
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

# The English help in full, a start page in each other language.
for page in en/index.html en/blocking.html en/troubleshooting.html de/index.html es/index.html it/index.html; do
  grep -qxF "/$page" <<<"$listing" || { echo "FAIL: /$page missing"; failures=$((failures + 1)); }
done
[ "$pages" -ge 12 ] || { echo "FAIL: only $pages source pages found in $sources"; failures=$((failures + 1)); }
[ $failures -eq 0 ] || exit 1
echo "help file: $pages pages present and unchanged"
