#!/usr/bin/env python3
"""Checks the plain-XML sources of the shipped lists (standard library only).

    check-lists.py SPOTLIST.xml PLUGINLIST.xml
        Exit 0 when both files pass, else print one line per fault and exit 1.
    check-lists.py --self-test SPOTLIST.xml PLUGINLIST.xml
        Also breaks copies of the two lists in memory, one fault at a time, and
        makes sure that the checker rejects every broken copy (exit 1 if not).

The rules keep the lists loadable by the program and, above all, safe: a folder
entry deletes files, a registry key entry deletes a whole key subtree. What a
run takes by default (a ticked entry) never reaches the user's own documents
or files that may hold unfinished work, and every plugin is found wherever its
program was installed.
"""

import fnmatch
import re
import sys
import xml.etree.ElementTree as ET

# Path macro tokens that the program expands in folder and file paths.
PATH_TOKENS = (
    ":IE_Cache:", ":IE_Cookies:", ":Recent:", ":Sys_Temp:", ":Win_Temp:",
    ":OutlookFolder:", ":OutlookFolder2:", ":MSN_Received_Files_Folder:",
    ":APPDATA:", ":LOCAL_APPDATA:", ":LOCAL_LOW:", ":COMMON_APPDATA:", ":AOL_USER:",
    ":AOL_DATA_PATH:", ":PF:", ":WINDIR:", ":SYS:",
)
# The one token of registry paths, and only in the spot list.
SPOT_REGISTRY_TOKENS = (":YAHOO_USER:",)
# Tokens whose expansion is never empty: the temp folders and the system
# folders always exist, and the composed folders always carry a fixed tail.
NEVER_EMPTY_TOKENS = {
    ":Sys_Temp:", ":Win_Temp:", ":PF:", ":WINDIR:", ":SYS:",
    ":OutlookFolder:", ":OutlookFolder2:", ":MSN_Received_Files_Folder:",
}
# Folders that hold far more than traces: never cleaned with a broad mask.
# (:LOCAL_LOW: is the user's AppData\LocalLow, empty on XP.)
BROAD_TOKENS = {":APPDATA:", ":LOCAL_APPDATA:", ":LOCAL_LOW:", ":COMMON_APPDATA:", ":PF:", ":WINDIR:", ":SYS:"}
ROOTS = ("HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT", "HKEY_USERS")

SPECIAL_TYPES = (2, 5, 6, 8, 9)   # cleaners of their own; items are not used
VALID_SPOT_TYPES = {0, 2, 5, 6, 7, 8, 9}
MIN_SPOTS = 80
MIN_PLUGINS = 60
PLUGIN_SECTIONS = ("FIND_DATA", "FILES", "FOLDERS", "REGISTRY")

TOKEN_RE = re.compile(r":[A-Za-z_][A-Za-z0-9_]*:")
DRIVE_RE = re.compile(r"[A-Za-z]:\\")

# Registry keys that hold settings (or whole branches of them). A key entry
# deletes its whole subtree, so none of these may be named as one. Compared in
# upper case, without the root name.
PROTECTED_KEY_PATTERNS = [re.compile(p) for p in (
    r"SOFTWARE\\MICROSOFT\\WINDOWS(\\CURRENTVERSION(\\[^\\]+)?)?",
    r"SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER\\(SHELL FOLDERS|USER SHELL FOLDERS|COMDLG32|ADVANCED|USERASSIST|USERASSIST\\\{[^\\]+\})",
    r"SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\APPLETS\\[^\\]+",
    r"SOFTWARE\\MICROSOFT\\WINDOWS NT(\\.*)?",
    r"SOFTWARE\\MICROSOFT\\INTERNET EXPLORER(\\(MAIN|EXPLORER BARS|EXPLORER BARS\\\{[^\\]+\}|INTELLIFORMS))?",
    r"SOFTWARE\\MICROSOFT\\OFFICE(\\[^\\]+(\\[^\\]+)?)?",
    r"SOFTWARE\\MICROSOFT\\MEDIAPLAYER(\\PLAYER)?",
    r"SOFTWARE\\MICROSOFT\\SEARCH ASSISTANT",
    r"SOFTWARE\\MICROSOFT\\TERMINAL SERVER CLIENT",
    r"SOFTWARE\\MICROSOFT\\PROTECTED STORAGE SYSTEM PROVIDER(\\.*)?",
    r"SOFTWARE\\CLASSES(\\.*)?",
    r"SOFTWARE\\POLICIES(\\.*)?",
    r"IDENTITIES(\\.*)?",
    r"CONTROL PANEL(\\.*)?",
    r"ENVIRONMENT",
)]
# Last key names that mean settings, not a trace list.
SETTINGS_KEY_NAMES = {
    "SETTINGS", "OPTIONS", "PREFERENCES", "PREFS", "CONFIGURATION", "CONFIG",
    "MAIN", "GENERAL", "AVGENERAL", "DATA", "CURRENTVERSION", "POLICIES",
    "SOFTWARE", "MICROSOFT", "WINDOWS", "BAGS",
}
# Trace keys that sit where the rules above see settings, each allowed by its
# exact name (upper case, without the root). True: the key also holds the
# user's choices (the folder views of ShellBags), so only an unticked entry
# may name it.
TRACE_KEY_EXCEPTIONS = {
    r"SOFTWARE\CLASSES\LOCAL SETTINGS\SOFTWARE\MICROSOFT\WINDOWS\SHELL\MUICACHE": False,
    r"SOFTWARE\CLASSES\LOCAL SETTINGS\SOFTWARE\MICROSOFT\WINDOWS\SHELL\BAGMRU": True,
    r"SOFTWARE\CLASSES\LOCAL SETTINGS\SOFTWARE\MICROSOFT\WINDOWS\SHELL\BAGS": True,
    r"SOFTWARE\MICROSOFT\WINDOWS\SHELLNOROAM\BAGMRU": True,
    r"SOFTWARE\MICROSOFT\WINDOWS\SHELLNOROAM\BAGS": True,
}

# Folders that hold the user's own files: only an unticked entry may clean
# in them. Path components, compared ignoring case.
USER_DOCUMENT_FOLDERS = {
    "my documents", "documents", "desktop", "downloads", "pictures", "my pictures",
    "music", "my music", "videos", "my videos", "my received files",
}
USER_DOCUMENT_TOKENS = (":MSN_Received_Files_Folder:",)
# Files that may hold work in progress: partial downloads, browser sessions,
# unsaved documents and mail stores. Only an unticked entry may name them; a
# mask or a folder name that matches one of these patterns (ignoring case)
# counts.
WORK_IN_PROGRESS_PATTERNS = (
    # partial downloads
    "*.part", "*.partial", "*.crdownload", "*.download", "*.!ut", "*.!qb",
    "*.bc!", "*.jc!", "*.dctmp",
    # browser sessions
    "session*", "current session", "last session", "current tabs", "last tabs",
    "sessionstore*",
    # AutoRecover copies of unsaved documents
    "*.asd", "*.xar",
    # mail stores
    "*.dbx", "*.pst", "*.ost", "*.mbx", "*.eml", "*.msf",
)
VERSION_NAME_RE = re.compile(r"\d+(\.\d+)*")


class Checker:
    def __init__(self):
        self.errors = []

    def fail(self, where, text):
        self.errors.append("%s: %s" % (where, text))

    # ---------------------------------------------------------------- text

    def check_ascii(self, label, raw):
        for number, line in enumerate(raw.split(b"\n"), 1):
            if any(b >= 0x80 for b in line):
                self.fail("%s line %d" % (label, number),
                          "non-ASCII text (the program reads the lists in the ANSI code page)")

    def parse(self, label, raw):
        try:
            return ET.fromstring(raw)
        except ET.ParseError as e:
            self.fail(label, "XML is not well formed (%s)" % e)
            return None

    def check_version(self, where, root):
        v = root.get("Version")
        if v is None or not re.fullmatch(r"[1-9][0-9]*", v):
            self.fail(where, "root needs a Version that is a positive decimal integer, found %r" % v)

    # ---------------------------------------------------------------- paths

    def check_tokens(self, where, text, allowed):
        for m in TOKEN_RE.finditer(text):
            if m.group(0) not in allowed:
                self.fail(where, "unknown macro token %s in %r (tokens are case-sensitive)" % (m.group(0), text))

    def check_absolute(self, where, path):
        m = TOKEN_RE.match(path)
        if m:
            rest = path[len(m.group(0)):]
            if rest and not rest.startswith("\\"):
                self.fail(where, "%r: a backslash must follow the macro token" % path)
        elif not DRIVE_RE.match(path):
            self.fail(where, "%r is not absolute: it must start with a macro token or a drive letter, colon and backslash" % path)

    def check_folder(self, where, path, mask, descend, delete_root=False):
        """One folder entry: folder path (with macros), file mask, flags."""
        self.check_tokens(where, path, PATH_TOKENS)
        if "*" in path or "?" in path:
            self.fail(where, "wildcard in the folder part %r: such a path is searched as it is and the mask is ignored" % path)
            return
        self.check_absolute(where, path)
        parts = path.split("\\")
        if ".." in parts or "." in parts:
            self.fail(where, "%r: '.' and '..' are not allowed in a path" % path)
        if "\\" in mask or "/" in mask:
            self.fail(where, "mask %r must be a file name pattern without a folder" % mask)
        bare = path.rstrip("\\")
        broad_mask = mask == "" or (re.fullmatch(r"[*?.]+", mask) is not None and "*" in mask)
        only_token = bare in PATH_TOKENS
        drive_root = re.fullmatch(r"[A-Za-z]:", bare) is not None
        if delete_root and (only_token or drive_root):
            self.fail(where, "DeleteRootDir on %r, a path made only of a macro token or a drive" % path)
        if broad_mask and (bare in BROAD_TOKENS or drive_root):
            self.fail(where, "broad mask %r on the broad folder %r%s" % (mask or "*.*", path, " with descent" if descend else ""))
        if only_token and bare not in NEVER_EMPTY_TOKENS and (broad_mask or descend):
            self.fail(where, "%r may expand to nothing, which would make this entry clean the current drive's root; add a subfolder or use a narrow mask without descent" % path)

    def check_user_files(self, where, path, mask, ticked):
        """What a default run must never take: the user's own documents and
        files that may hold work in progress."""
        if not ticked:
            return
        parts = [p for p in path.split("\\") if p]
        if any(t in path for t in USER_DOCUMENT_TOKENS) or any(p.lower() in USER_DOCUMENT_FOLDERS for p in parts):
            self.fail(where, "%r is a user-document folder: only an unticked entry may clean in it" % path)
        for name in parts + [mask]:
            for pattern in WORK_IN_PROGRESS_PATTERNS:
                if fnmatch.fnmatchcase(name.lower(), pattern):
                    self.fail(where, "%r matches %r, a file that may hold work in progress (a partial download, "
                              "a session, unsaved work or mail): only an unticked entry may name it" % (name, pattern))
                    break

    def check_registry(self, where, text, spot_list, cleans_key, ticked=False):
        """A registry path text: root name, backslash, subkey; `ticked`: the
        entry is cleaned by default."""
        self.check_tokens(where, text, SPOT_REGISTRY_TOKENS if spot_list else ())
        root, sep, sub = text.partition("\\")
        if spot_list:
            if root not in ROOTS:
                self.fail(where, "registry root %r is not one of %s (upper case, exact)" % (root, ", ".join(ROOTS)))
        elif root.upper() not in ROOTS:
            self.fail(where, "registry root %r is not one of %s" % (root, ", ".join(ROOTS)))
        if not sep or not sub.strip("\\"):
            self.fail(where, "registry path %r names only a root" % text)
            return
        if sub.endswith("\\") or "\\\\" in sub or sub.startswith("\\"):
            self.fail(where, "registry path %r has an empty key name" % text)
        if cleans_key:
            upper = sub.upper()
            parts = upper.split("\\")
            mixed = TRACE_KEY_EXCEPTIONS.get(upper)
            if mixed is not None:
                if mixed and ticked:
                    self.fail(where, "key %r also holds the user's choices: only an unticked entry may empty it" % text)
            elif len(parts) < 3:
                self.fail(where, "key %r is too broad to be emptied (fewer than three key names below the root)" % text)
            elif any(p.fullmatch(upper) for p in PROTECTED_KEY_PATTERNS) \
                    or parts[-1] in SETTINGS_KEY_NAMES or VERSION_NAME_RE.fullmatch(parts[-1]):
                self.fail(where, "key %r holds settings; emptying it would delete them" % text)

    # ---------------------------------------------------------------- spot list

    def check_spot_list(self, raw):
        label = "spot list"
        self.check_ascii(label, raw)
        root = self.parse(label, raw)
        if root is None:
            return
        if root.tag != "CleaningSpots":
            self.fail(label, "root element is %r, it must be exactly 'CleaningSpots'" % root.tag)
            return
        self.check_version(label, root)
        seen_group_types = set()
        names = {}
        special_count = {t: 0 for t in SPECIAL_TYPES}
        spots = 0
        for gi, group in enumerate(root, 1):
            gname = group.get("name")
            gwhere = "%s group %d (%s)" % (label, gi, gname)
            if not gname:
                self.fail(gwhere, "group lacks a name")
            gt = group.get("GroupType")
            if gt is None:
                self.fail(gwhere, "group lacks GroupType")
            elif not re.fullmatch(r"[0-9]+", gt) or not 0 <= int(gt) <= 6:
                self.fail(gwhere, "GroupType %r is outside 0..6" % gt)
            else:
                seen_group_types.add(int(gt))
            for spot in group:
                spots += 1
                self.check_spot(gwhere, spot, names, special_count)
        for t in range(7):
            if t not in seen_group_types:
                self.fail(label, "no group of GroupType %d" % t)
        if spots < MIN_SPOTS:
            self.fail(label, "%d spots, fewer than %d" % (spots, MIN_SPOTS))
        for t, n in special_count.items():
            if n != 1:
                self.fail(label, "special spot Type %d is present %d times; it must be present once" % (t, n))
        self.spot_count = spots
        self.group_count = len(root)

    def check_spot(self, gwhere, spot, names, special_count):
        name = spot.get("name") or ""
        where = "%s spot %r" % (gwhere, name)
        if not name.strip():
            self.fail(where, "spot lacks a name")
        key = name.lower()
        if key in names:
            self.fail(where, "spot name duplicates %r (names are matched ignoring case)" % names[key])
        else:
            names[key] = name
        if spot.get("ToBeCleaned") not in ("0", "1"):
            self.fail(where, "ToBeCleaned must be 0 or 1, found %r" % spot.get("ToBeCleaned"))
        desc = spot.get("Description") or ""
        if not desc.strip() or "\n" in desc or "\r" in desc:
            self.fail(where, "Description must be one non-empty line")
        os_text = spot.get("OS")
        if os_text is not None and os_text != "XP":
            self.fail(where, "OS must be absent or 'XP', found %r" % os_text)
        t = spot.get("Type")
        if t is None or not re.fullmatch(r"[0-9]+", t) or int(t) not in VALID_SPOT_TYPES:
            self.fail(where, "Type %r is not one of %s" % (t, sorted(VALID_SPOT_TYPES)))
            return
        t = int(t)
        if t in special_count:
            special_count[t] += 1
        children = list(spot)
        if len(children) > 1:
            self.fail(where, "only the first child element of a spot is read; %d found" % len(children))
        items = list(children[0]) if children else []
        if t in SPECIAL_TYPES and items:
            self.fail(where, "a Type %d spot has a cleaner of its own; its items would never be used" % t)
        if t == 0 and not items:
            self.fail(where, "a Type 0 spot without items cleans nothing")
        ticked = spot.get("ToBeCleaned") != "0"
        for ii, item in enumerate(items, 1):
            self.check_spot_item("%s item %d" % (where, ii), item, t, ticked)

    def check_spot_item(self, where, item, spot_type, ticked):
        it = item.get("Type")
        name = item.get("name") or ""
        if it == "0":
            flags = item.get("flags") or ""
            if not name:
                self.fail(where, "folder entry with an empty name")
            if not flags:
                self.fail(where, "folder entry with empty flags (file mask)")
            for attr in ("DeleteRootDir", "DeleteSubDir"):
                if item.get(attr, "0") not in ("0", "1"):
                    self.fail(where, "%s must be 0 or 1, found %r" % (attr, item.get(attr)))
            if name:
                self.check_folder(where, name, flags, item.get("DeleteSubDir") == "1",
                                  delete_root=item.get("DeleteRootDir") == "1")
                self.check_user_files(where, name, flags, ticked)
        elif it == "1":
            if spot_type == 7:
                self.fail(where, "a Type 7 spot uses only its folder entries; this registry entry would never be used")
            if not name:
                self.fail(where, "registry key entry with an empty name")
            else:
                self.check_registry(where, name, spot_list=True, cleans_key=True, ticked=ticked)
        else:
            self.fail(where, "item Type %r: the spot list knows only 0 (folder) and 1 (registry key)" % it)

    # ---------------------------------------------------------------- plugin list

    def check_plugin_list(self, raw):
        label = "plugin list"
        self.check_ascii(label, raw)
        root = self.parse(label, raw)
        if root is None:
            return
        self.check_version(label, root)
        names = {}
        for pi, plugin in enumerate(root, 1):
            self.check_plugin("%s plugin %d" % (label, pi), plugin, names)
        if len(root) < MIN_PLUGINS:
            self.fail(label, "%d plugins, fewer than %d" % (len(root), MIN_PLUGINS))
        self.plugin_count = len(root)

    def check_plugin(self, where, plugin, names):
        name = plugin.get("Name") or ""
        where = "%s (%s)" % (where, name)
        if not name.strip():
            self.fail(where, "plugin lacks a Name")
        key = name.lower()
        if key in names:
            self.fail(where, "plugin name duplicates %r (names are matched ignoring case)" % names[key])
        else:
            names[key] = name
        desc = plugin.get("Description") or ""
        if not desc.strip() or "\n" in desc or "\r" in desc:
            self.fail(where, "Description must be one non-empty line")
        if plugin.get("ToBeCleaned") not in ("0", "1"):
            self.fail(where, "ToBeCleaned must be 0 or 1, found %r" % plugin.get("ToBeCleaned"))
        ticked = plugin.get("ToBeCleaned") != "0"
        tests = 0
        anywhere = 0   # presence tests that hold wherever the program was installed
        entries = 0
        for section in plugin:
            if section.tag not in PLUGIN_SECTIONS:
                self.fail(where, "unknown section <%s> (known: %s)" % (section.tag, ", ".join(PLUGIN_SECTIONS)))
                continue
            for n, item in enumerate(section, 1):
                iw = "%s %s %d" % (where, section.tag, n)
                if section.tag == "FIND_DATA":
                    tests += 1
                    self.check_find_item(iw, item)
                    anywhere += self.independent_of_install_folder(item)
                else:
                    entries += 1
                    self.check_clean_item(iw, section.tag, item, ticked)
        if tests == 0:
            self.fail(where, "no presence test in FIND_DATA: the plugin would never count as installed")
        elif anywhere == 0:
            self.fail(where, "every presence test depends on the install folder (:PF: or a drive): add a REG_KEY "
                      "or a FILE in the user's or the machine's data folders")
        if entries == 0:
            self.fail(where, "no FILES, FOLDERS or REGISTRY entry: the plugin cleans nothing")

    @staticmethod
    def independent_of_install_folder(item):
        """A presence test that holds wherever the program was installed."""
        if item.tag == "REG_KEY":
            return bool(item.get("Key"))
        name = item.get("Name") or ""
        return item.tag == "FILE" and bool(name) and not name.startswith(":PF:") and not DRIVE_RE.match(name)

    def check_find_item(self, where, item):
        if item.tag == "REG_KEY":
            k = item.get("Key") or ""
            if not k:
                self.fail(where, "REG_KEY test without a Key")
            else:
                self.check_registry(where, k, spot_list=False, cleans_key=False)
        elif item.tag == "FILE":
            n = item.get("Name") or ""
            if not n:
                self.fail(where, "FILE test without a Name")
            else:
                self.check_tokens(where, n, PATH_TOKENS)
                self.check_absolute(where, n)
        else:
            self.fail(where, "<%s> is not a presence test (REG_KEY or FILE)" % item.tag)

    def check_clean_item(self, where, section, item, ticked):
        if section == "FILES":
            if item.tag != "FILE":
                self.fail(where, "FILES holds FILE elements, found <%s>" % item.tag)
            n = item.get("Name") or ""
            if not n:
                self.fail(where, "FILE without a Name")
                return
            folder, sep, mask = n.rpartition("\\")
            if not sep:
                folder, mask = n, ""
            self.check_folder(where, folder, mask, descend=False)
            self.check_user_files(where, folder, mask, ticked)
        elif section == "FOLDERS":
            if item.tag != "FOLDER":
                self.fail(where, "FOLDERS holds FOLDER elements, found <%s>" % item.tag)
            n = item.get("Name") or ""
            inc = item.get("IncludeSubFolders")
            if inc is None or inc.lower() not in ("yes", "no"):
                self.fail(where, "IncludeSubFolders must be yes or no, found %r" % inc)
            if not n:
                self.fail(where, "FOLDER without a Name")
                return
            self.check_folder(where, n, "", descend=(inc or "").lower() == "yes")
            self.check_user_files(where, n, "", ticked)
        elif section == "REGISTRY":
            k = item.get("Key") or ""
            if item.tag not in ("REG_KEY", "REG_VALUE"):
                self.fail(where, "REGISTRY holds REG_KEY or REG_VALUE elements, found <%s>" % item.tag)
                return
            if not k:
                self.fail(where, "%s without a Key" % item.tag)
                return
            if item.tag == "REG_KEY":
                self.check_registry(where, k, spot_list=False, cleans_key=True, ticked=ticked)
            else:
                v = item.get("Value")
                if not v:
                    self.fail(where, "REG_VALUE without a Value (a value name, or *.* for the whole key)")
                    return
                self.check_registry(where, k, spot_list=False, cleans_key=(v == "*.*"), ticked=ticked)


def check(spot_raw, plugin_raw):
    c = Checker()
    c.check_spot_list(spot_raw)
    c.check_plugin_list(plugin_raw)
    return c


# -------------------------------------------------------------------- self-test
# Each mutation breaks one thing in a parsed copy and names a piece of the
# message the checker must give for it.

def _spots(root):
    return [s for g in root for s in g]


def _first_item(root, pred):
    for s in _spots(root):
        for c in s[:1]:
            for it in c:
                if pred(s, it):
                    return it
    raise LookupError("no item fits the mutation")


def _folder_item(root):
    return _first_item(root, lambda s, it: it.get("Type") == "0" and s.get("Type") == "0")


def _reg_item(root):
    return _first_item(root, lambda s, it: it.get("Type") == "1")


def _spot_of_type(root, t):
    return next(s for s in _spots(root) if s.get("Type") == str(t))


def _remove_spots(root, keep):
    plain = [(g, s) for g in root for s in g if s.get("Type") == "0"]
    excess = len(_spots(root)) - keep
    for g, s in plain[:excess]:
        g.remove(s)


def _ticked_folder_item(root):
    return _first_item(root, lambda s, it: it.get("Type") == "0" and s.get("Type") == "0" and s.get("ToBeCleaned") == "1")


def _spot_named(root, name):
    return next(s for s in _spots(root) if s.get("name") == name)


def _spot_naming(root, text):
    """The spot with an item whose name holds `text`."""
    return next(s for s in _spots(root) for c in s[:1] for it in c if text in (it.get("name") or ""))


def _ticked_plugin_with(root, tag, item):
    """Gives the first ticked plugin one more section `tag` holding `item`."""
    plugin = next(p for p in root if p.get("ToBeCleaned") == "1")
    section = ET.SubElement(plugin, tag)
    section.append(item)


def _only_test(plugin, name):
    for s in [s for s in plugin if s.tag == "FIND_DATA"]:
        plugin.remove(s)
    ET.SubElement(ET.SubElement(plugin, "FIND_DATA"), "FILE", Name=name)


def _set(el, **attrs):
    for k, v in attrs.items():
        el.set(k, v)


def _first_plugin_section(root, tag):
    for p in root:
        for s in p:
            if s.tag == tag and len(s):
                return s
    raise LookupError(tag)


SPOT_MUTATIONS = [
    ("root in lower case", lambda r: setattr(r, "tag", "cleaningspots"), "exactly 'CleaningSpots'"),
    ("group without GroupType", lambda r: r[0].attrib.pop("GroupType"), "lacks GroupType"),
    ("group without name", lambda r: r[0].attrib.pop("name"), "lacks a name"),
    ("GroupType 7", lambda r: r[0].set("GroupType", "7"), "outside 0..6"),
    ("no group of type 4", lambda r: [r.remove(g) for g in list(r) if g.get("GroupType") == "4"], "no group of GroupType 4"),
    ("one spot too few", lambda r: _remove_spots(r, MIN_SPOTS - 1), "fewer than %d" % MIN_SPOTS),
    ("empty folder name", lambda r: _folder_item(r).set("name", ""), "empty name"),
    ("empty mask", lambda r: _folder_item(r).set("flags", ""), "empty flags"),
    ("relative folder", lambda r: _folder_item(r).set("name", "Temp\\Junk"), "not absolute"),
    ("text glued to token", lambda r: _folder_item(r).set("name", ":WINDIR:Temp"), "backslash must follow"),
    ("token in wrong case", lambda r: _folder_item(r).set("name", ":windir:\\Temp"), "unknown macro token"),
    ("made-up token", lambda r: _folder_item(r).set("name", ":MY_DOCS:\\Junk"), "unknown macro token"),
    ("wildcard in folder", lambda r: _folder_item(r).set("name", ":PF:\\App\\*\\Logs"), "wildcard in the folder"),
    ("dot-dot in folder", lambda r: _folder_item(r).set("name", ":Sys_Temp:\\..\\.."), "'..' are not allowed"),
    ("DeleteRootDir on a bare token", lambda r: _set(_folder_item(r), name=":Sys_Temp:", flags="*.tmp", DeleteRootDir="1"), "DeleteRootDir on"),
    ("*.* with descent on APPDATA", lambda r: _set(_folder_item(r), name=":APPDATA:", flags="*.*", DeleteSubDir="1"), "broad mask"),
    ("*.* with descent on PF", lambda r: _set(_folder_item(r), name=":PF:\\", flags="*.*", DeleteSubDir="1"), "broad mask"),
    ("*.* on the Windows folder", lambda r: _set(_folder_item(r), name=":WINDIR:", flags="*.*", DeleteSubDir="0"), "broad mask"),
    ("*.* on a drive root", lambda r: _set(_folder_item(r), name="C:\\", flags="*.*", DeleteSubDir="1"), "broad mask"),
    ("*.* on a token that may be empty", lambda r: _set(_folder_item(r), name=":IE_Cookies:", flags="*.*", DeleteSubDir="0"), "may expand to nothing"),
    ("short root name", lambda r: _reg_item(r).set("name", "HKCU\\Software\\Demo\\MRU"), "registry root"),
    ("root in lower case", lambda r: _reg_item(r).set("name", "hkey_current_user\\Software\\Demo\\MRU"), "registry root"),
    ("root only", lambda r: _reg_item(r).set("name", "HKEY_CURRENT_USER\\"), "names only a root"),
    ("root without backslash", lambda r: _reg_item(r).set("name", "HKEY_CURRENT_USER"), "names only a root"),
    ("path token in registry path", lambda r: _reg_item(r).set("name", "HKEY_CURRENT_USER\\Software\\:APPDATA:\\MRU"), "unknown macro token"),
    ("whole Explorer key", lambda r: _reg_item(r).set("name", "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"), "holds settings"),
    ("whole vendor key", lambda r: _reg_item(r).set("name", "HKEY_CURRENT_USER\\Software\\WinRAR"), "too broad"),
    ("Office version key", lambda r: _reg_item(r).set("name", "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\11.0\\Word\\Data"), "holds settings"),
    ("value item in spot list", lambda r: _reg_item(r).set("Type", "2"), "knows only 0"),
    ("duplicate spot name", lambda r: _spots(r)[1].set("name", _spots(r)[0].get("name").upper()), "duplicates"),
    ("cookies spot missing", lambda r: [g.remove(s) for g in r for s in list(g) if s.get("Type") == "6"], "Type 6 is present 0 times"),
    ("form entries twice", lambda r: _spots(r)[0].set("Type", "9"), "Type 9 is present 2 times"),
    ("items on a special spot", lambda r: _spot_of_type(r, 2).append(_spots(r)[0][0]), "would never be used"),
    ("bad ToBeCleaned", lambda r: _spots(r)[0].set("ToBeCleaned", "yes"), "ToBeCleaned must be"),
    ("bad OS", lambda r: _spots(r)[0].set("OS", "WinXP"), "OS must be"),
    ("empty description", lambda r: _spots(r)[0].set("Description", ""), "Description"),
    ("unknown spot Type", lambda r: _spots(r)[0].set("Type", "3"), "is not one of"),
    ("no Version", lambda r: r.attrib.pop("Version"), "Version"),
    ("LOCAL_LOW alone with *.*", lambda r: _set(_folder_item(r), name=":LOCAL_LOW:", flags="*.*", DeleteSubDir="0"), "broad mask"),
    # User documents and work in progress, only in unticked spots.
    ("My Received Files ticked", lambda r: _spot_naming(r, ":MSN_Received_Files_Folder:").set("ToBeCleaned", "1"), "user-document folder"),
    ("ticked spot in My Documents", lambda r: _ticked_folder_item(r).set("name", "C:\\Documents and Settings\\All Users\\My Documents\\Scans"), "user-document folder"),
    ("ticked spot in a Desktop folder", lambda r: _ticked_folder_item(r).set("name", ":APPDATA:\\Demo\\desktop"), "user-document folder"),
    ("ticked partial downloads", lambda r: _ticked_folder_item(r).set("flags", "*.crdownload"), "work in progress"),
    ("ticked mail store", lambda r: _ticked_folder_item(r).set("flags", "Inbox.PST"), "work in progress"),
    ("ticked sessions folder", lambda r: _ticked_folder_item(r).set("name", ":APPDATA:\\Demo\\Sessions"), "work in progress"),
    ("ticked AutoRecover copies", lambda r: _spot_named(r, "Office AutoRecover and Unsaved Files").set("ToBeCleaned", "1"), "work in progress"),
    # Keys that mix a trace with the user's choices, and the exceptions' reach.
    ("ShellBags ticked", lambda r: _spot_naming(r, "\\Shell\\BagMRU").set("ToBeCleaned", "1"), "also holds the user's choices"),
    ("the Shell key above MUICache", lambda r: _reg_item(r).set("name", "HKEY_CURRENT_USER\\Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell"), "holds settings"),
    ("XP folder views ticked", lambda r: _reg_item(r).set("name", "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\ShellNoRoam\\Bags"), "also holds the user's choices"),
]

PLUGIN_MUTATIONS = [
    ("one plugin too few", lambda r: [r.remove(p) for p in list(r)[MIN_PLUGINS - 1:]], "fewer than %d" % MIN_PLUGINS),
    ("duplicate plugin name", lambda r: r[1].set("Name", r[0].get("Name").lower()), "duplicates"),
    ("short root in test", lambda r: _first_plugin_section(r, "FIND_DATA").append(ET.Element("REG_KEY", Key="HKCU\\Software\\Demo")), "registry root"),
    ("root only in REG_KEY", lambda r: _first_plugin_section(r, "REGISTRY").append(ET.Element("REG_KEY", Key="HKEY_CURRENT_USER")), "names only a root"),
    ("settings key emptied", lambda r: _first_plugin_section(r, "REGISTRY").append(ET.Element("REG_VALUE", Key="HKEY_CURRENT_USER\\Software\\Adobe\\Acrobat Reader\\7.0", Value="*.*")), "holds settings"),
    ("FOLDER on the Windows folder", lambda r: _first_plugin_section(r, "FOLDERS").append(ET.Element("FOLDER", Name=":WINDIR:", IncludeSubFolders="yes")), "broad mask"),
    ("FOLDER on APPDATA without descent", lambda r: _first_plugin_section(r, "FOLDERS").append(ET.Element("FOLDER", Name=":APPDATA:\\", IncludeSubFolders="no")), "broad mask"),
    ("IncludeSubFolders 1", lambda r: _first_plugin_section(r, "FOLDERS")[0].set("IncludeSubFolders", "1"), "yes or no"),
    ("wildcard folder in FILE", lambda r: _first_plugin_section(r, "FILES").append(ET.Element("FILE", Name=":APPDATA:\\App\\Profiles\\*\\history.dat")), "wildcard in the folder"),
    ("FILE without folder", lambda r: _first_plugin_section(r, "FILES").append(ET.Element("FILE", Name="history.dat")), "not absolute"),
    ("relative presence test", lambda r: _first_plugin_section(r, "FIND_DATA").append(ET.Element("FILE", Name="App\\app.exe")), "not absolute"),
    ("made-up token in FILE", lambda r: _first_plugin_section(r, "FILES").append(ET.Element("FILE", Name=":PROGRAMFILES:\\App\\app.log")), "unknown macro token"),
    ("YAHOO token in plugin key", lambda r: _first_plugin_section(r, "REGISTRY").append(ET.Element("REG_KEY", Key="HKEY_CURRENT_USER\\Software\\Yahoo\\pager\\:YAHOO_USER:\\Recent")), "unknown macro token"),
    ("no presence test", lambda r: [p.remove(s) for p in r[:1] for s in list(p) if s.tag == "FIND_DATA"], "no presence test"),
    ("misspelt section", lambda r: r[0].append(ET.Element("FOLDER_LIST")), "unknown section"),
    ("REG_VALUE without Value", lambda r: _first_plugin_section(r, "REGISTRY").append(ET.Element("REG_VALUE", Key="HKEY_CURRENT_USER\\Software\\Demo\\App")), "without a Value"),
    ("LOCAL_LOW alone as a FOLDER", lambda r: _first_plugin_section(r, "FOLDERS").append(ET.Element("FOLDER", Name=":LOCAL_LOW:", IncludeSubFolders="no")), "broad mask"),
    # User documents and work in progress, only in unticked plugins.
    ("ticked plugin empties Downloads", lambda r: _ticked_plugin_with(r, "FOLDERS", ET.Element("FOLDER", Name="C:\\Users\\Public\\Downloads", IncludeSubFolders="no")), "user-document folder"),
    ("ticked plugin in My Received Files", lambda r: _ticked_plugin_with(r, "FILES", ET.Element("FILE", Name=":MSN_Received_Files_Folder:\\*.log")), "user-document folder"),
    ("ticked sessionstore", lambda r: _ticked_plugin_with(r, "FILES", ET.Element("FILE", Name=":APPDATA:\\Demo\\Profiles\\sessionstore.js")), "work in progress"),
    ("ticked Current Tabs", lambda r: _ticked_plugin_with(r, "FILES", ET.Element("FILE", Name=":LOCAL_APPDATA:\\Demo\\User Data\\Default\\Current Tabs")), "work in progress"),
    ("ticked torrent parts", lambda r: _ticked_plugin_with(r, "FILES", ET.Element("FILE", Name=":APPDATA:\\Demo\\*.!ut")), "work in progress"),
    ("ticked mail folder store", lambda r: _ticked_plugin_with(r, "FILES", ET.Element("FILE", Name=":APPDATA:\\Demo\\Mail\\Trash.msf")), "work in progress"),
    ("ticked ShellBags key", lambda r: _ticked_plugin_with(r, "REGISTRY", ET.Element("REG_VALUE", Key="HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\ShellNoRoam\\BagMRU", Value="*.*")), "also holds the user's choices"),
    # Presence tests that hold wherever the program was installed.
    ("only a Program Files test", lambda r: _only_test(r[0], ":PF:\\Demo\\demo.exe"), "depends on the install folder"),
    ("only a drive-letter test", lambda r: _only_test(r[0], "C:\\Demo\\demo.exe"), "depends on the install folder"),
]


def self_test(spot_raw, plugin_raw):
    problems = []
    base = check(spot_raw, plugin_raw)
    if base.errors:
        return ["the unbroken lists do not pass, so the self-test cannot run"], 0

    def run(label, target, mutate, expect):
        raw = spot_raw if target == "spot" else plugin_raw
        root = ET.fromstring(raw)
        try:
            mutate(root)
        except (LookupError, StopIteration, IndexError, KeyError):
            problems.append("%s: the mutation does not apply to these lists" % label)
            return
        broken = ET.tostring(root, encoding="utf-8")
        c = check(broken, plugin_raw) if target == "spot" else check(spot_raw, broken)
        if not any(expect in e for e in c.errors):
            problems.append("%s: not rejected (wanted a message with %r; got %s)" % (label, expect, c.errors or "none"))

    for label, mutate, expect in SPOT_MUTATIONS:
        run("spot list, " + label, "spot", mutate, expect)
    for label, mutate, expect in PLUGIN_MUTATIONS:
        run("plugin list, " + label, "plugin", mutate, expect)

    # Faults in the raw text.
    for label, target, raw_fault, expect in (
        ("truncated spot list", "spot", spot_raw[: len(spot_raw) // 2], "not well formed"),
        ("truncated plugin list", "plugin", plugin_raw[: len(plugin_raw) // 2], "not well formed"),
        ("non-ASCII description", "spot", spot_raw.replace(b'Description="', b'Description="\xc3\xa9', 1), "non-ASCII"),
    ):
        c = check(raw_fault, plugin_raw) if target == "spot" else check(spot_raw, raw_fault)
        if not any(expect in e for e in c.errors):
            problems.append("%s: not rejected (wanted %r)" % (label, expect))
    count = len(SPOT_MUTATIONS) + len(PLUGIN_MUTATIONS) + 3
    return problems, count


def main(argv):
    args = argv[1:]
    selftest = False
    if args and args[0] == "--self-test":
        selftest = True
        args = args[1:]
    if len(args) != 2:
        print("usage: check-lists.py [--self-test] SPOTLIST.xml PLUGINLIST.xml", file=sys.stderr)
        return 2
    raws = []
    for path in args:
        try:
            with open(path, "rb") as f:
                raws.append(f.read())
        except OSError as e:
            print("cannot read %s: %s" % (path, e))
            return 1
    c = check(*raws)
    for e in c.errors:
        print("FAIL " + e)
    if c.errors:
        print("%d fault(s) in the lists" % len(c.errors))
        return 1
    print("lists OK: %d groups, %d spots, %d plugins" % (c.group_count, c.spot_count, c.plugin_count))
    if selftest:
        problems, count = self_test(*raws)
        for p in problems:
            print("SELF-TEST FAIL " + p)
        if problems:
            return 1
        print("self-test OK: all %d broken copies rejected" % count)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
