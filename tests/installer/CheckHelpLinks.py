#!/usr/bin/env python3
"""The help sources as the help viewer will follow them:
  - the project's default topic and every contents entry name a page of the
    project's file list;
  - every link of every page leads to a page of that list (and, with a
    fragment, to an anchor named on it); web links are left alone;
  - every language has the same pages as English, each marked with its
    language.
    CheckHelpLinks.py <help source folder>
Prints one line per fault and exits 1 when there is any."""
import html.parser
import pathlib
import posixpath
import re
import sys

LANGUAGES = ["en", "de", "es", "it"]


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.anchors, self.lang = [], set(), None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "html":
            self.lang = a.get("lang")
        if tag == "a" and a.get("href"):
            self.links.append(a["href"])
        for key in ("name", "id"):
            if a.get(key):
                self.anchors.add(a[key])
        if tag == "param" and a.get("name", "").lower() == "local":
            self.links.append(a.get("value", ""))


def main(root):
    root = pathlib.Path(root)
    faults = []
    project = (root / "Shadowpane.hhp").read_text(encoding="utf-8")
    files = project.split("[FILES]", 1)[1].split()
    default = re.search(r"^Default topic=(.+)$", project, re.M)
    if not default or default.group(1).strip() not in files:
        faults.append("the default topic is missing from the file list")
    pages = {}
    for name in files:
        if name.endswith(".html"):
            if not (root / name).is_file():
                faults.append(f"{name}: listed but missing")
                continue
            parser = Page()
            parser.feed((root / name).read_text(encoding="utf-8"))
            pages[name] = parser
    contents = Page()
    contents.feed((root / "toc.hhc").read_text(encoding="utf-8"))
    for target in contents.links:
        if target not in pages:
            faults.append(f"toc.hhc: entry {target} is no page of the help")
    for name, page in pages.items():
        for link in page.links:
            if re.match(r"^[a-z]+:", link):
                continue
            target, _, fragment = link.partition("#")
            resolved = posixpath.normpath(posixpath.join(posixpath.dirname(name), target)) if target else name
            if resolved not in pages:
                faults.append(f"{name}: link {link} leads to no page of the help")
            elif fragment and fragment not in pages[resolved].anchors:
                faults.append(f"{name}: link {link} names no anchor of {resolved}")
        language = name.split("/")[0]
        if page.lang != language:
            faults.append(f"{name}: marked as language {page.lang}, not {language}")
    english = sorted(n.split("/", 1)[1] for n in pages if n.startswith("en/"))
    for language in LANGUAGES[1:]:
        own = sorted(n.split("/", 1)[1] for n in pages if n.startswith(language + "/"))
        for missing in sorted(set(english) - set(own)):
            faults.append(f"{language}/{missing}: missing (English has it)")
    for fault in faults:
        print("FAIL:", fault)
    print(f"help links: {len(pages)} pages, {sum(len(p.links) for p in pages.values())} links checked")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
