#!/usr/bin/env bash
# Puts Kipster into the desktop's application menu for this user: the program folder's desktop
# entry (kipster.desktop, with Exec, TryExec and Path pointing at that folder) goes to
# ${XDG_DATA_HOME:-~/.local/share}/applications, its icon kipster.png to
# .../icons/hicolor/256x256/apps. Running it again after moving the folder points the entry at the
# new place.
#   install-desktop-entry.sh [program-folder]
# Without an argument the program folder is the one this script lies in (the unpacked download),
# or else the build's program folder build/bin (the source tree).
set -euo pipefail

fail() {
  echo "install-desktop-entry: $*" >&2
  exit 1
}

here=$(cd "$(dirname "$0")" && pwd)
[ $# -le 1 ] || fail "usage: install-desktop-entry.sh [program-folder]"
folder=${1:-}
if [ -z "$folder" ]; then
  if [ -x "$here/kipster" ]; then folder=$here; else folder=$here/../build/bin; fi
fi
[ -d "$folder" ] || fail "$folder is not a folder"
# Absolute, but through the links the user named: the entry should follow a link that is moved.
folder=$(cd "$folder" && pwd)
for file in kipster kipster.desktop kipster.png; do
  [ -f "$folder/$file" ] || fail "$folder/$file is missing: not a Kipster program folder (build it, or unpack the download)"
done
# A desktop entry is one line per key: a line break or another control character cannot be written.
case "$folder" in *[[:cntrl:]]*) fail "the program folder's path holds a control character" ;; esac
# GLib's menus look for the program before they undo the doubled percent sign, and miss it.
case "$folder" in *%*) echo "install-desktop-entry: a '%' in the folder's path hides the entry from GNOME's menus" >&2 ;; esac

# Exec is a quoted argument: inside the quotes ", `, $ and \ take a backslash, and % is doubled as
# every percent sign in Exec is. Then all three values are desktop-entry strings, where each
# backslash is written twice.
quoted=$folder/kipster
quoted=${quoted//\\/\\\\}
quoted=${quoted//\"/\\\"}
quoted=${quoted//\`/\\\`}
quoted=${quoted//\$/\\\$}
quoted=${quoted//%/%%}
exec_value="\"${quoted//\\/\\\\}\""
path_value=${folder//\\/\\\\}

# An XDG_DATA_HOME that is not absolute is invalid and is ignored, as the desktop does.
data=${XDG_DATA_HOME:-}
[ "${data#/}" != "$data" ] || data=$HOME/.local/share
applications=$data/applications
icons=$data/icons/hicolor/256x256/apps
mkdir -p "$applications" "$icons"

# Written beside the old entry and moved into place, so a menu never reads half an entry.
entry=$applications/kipster.desktop
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in
    '#'*) ;;
    Exec=*) printf 'Exec=%s\n' "$exec_value" ;;
    TryExec=*) printf 'TryExec=%s\n' "$path_value/kipster" ;;
    Path=*) printf 'Path=%s\n' "$path_value" ;;
    *) printf '%s\n' "$line" ;;
  esac
done < "$folder/kipster.desktop" > "$entry.new"
mv -f "$entry.new" "$entry"
cp -f "$folder/kipster.png" "$icons/kipster.png.new"
mv -f "$icons/kipster.png.new" "$icons/kipster.png"
# Menus that keep a cache of the entries see the new one at once.
if command -v update-desktop-database > /dev/null; then
  update-desktop-database -q "$applications" 2> /dev/null || true
fi
echo "Installed $entry (starts $folder/kipster)"

# The download carries no libraries: say which ones the system still lacks.
missing=$(ldd "$folder/kipster" 2> /dev/null | awk '/not found/ {print $1}' | tr '\n' ' ')
if [ -n "$missing" ]; then
  echo "Kipster cannot start yet; missing libraries: $missing" >&2
  echo "On Debian 12: sudo apt-get install libqt6widgets6 libsdl2-2.0-0 libopenal1 libglew2.2 libglu1-mesa" \
       "libopengl0 libglx0 libglx-mesa0 libgl1-mesa-dri libxrandr2 libxi6 libx11-6" >&2
fi
