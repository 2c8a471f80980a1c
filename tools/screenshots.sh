#!/usr/bin/env bash
# Renders the setup's windows into docs/screenshots/: every wizard page, the
# licence dialog, the browse dialog and each message box of a typical install
# and uninstall of the sample package. Runs on a clean Wine machine of its own
# under Xvfb, with the x11 driver and a Wine virtual desktop, so that captions
# and frames are drawn. Needs the win64 build (tools/build.sh win64).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
b="$top/build/win64"
out="$top/docs/screenshots"
shots="$b/screenshots"
[ -x "$b/bin/lfdrive.exe" ] && [ -f "$b/bin/LFSetup.exe" ] || { echo "screenshots: build win64 first" >&2; exit 1; }
rm -rf "$shots" && mkdir -p "$shots" "$out"

"$top/tools/wine-run.sh" --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$top" --shell -- "$(cat <<'INNER'
set -uo pipefail
bin='T:\build\win64\bin'
# Xvfb picks a free display (another one may be running on the machine).
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>/tmp/display >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null; kill $xvfb' EXIT
for i in $(seq 100); do [ -s /tmp/display ] && break; sleep 0.1; done
export DISPLAY=:$(cat /tmp/display)
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null
c="$WINEPREFIX/drive_c/Package"
mkdir -p "$c"
cp build/win64/bin/LFSetup.exe tools/sample-package/* "$c/"
cp build/win64/bin/viewer_standin.exe "$c/LFViewer.exe"
cp build/win64/bin/viewer_standin.exe "$c/LFCtrl.exe"
# A large file, so that the progress window is there long enough to be seen.
head -c 400M /dev/zero > "$c/worlds.dat"
sed -i 's/^readme\.txt\*$/&\nworlds.dat/' "$c/LFSetup.inf"
wine "$bin\\lfdrive.exe" --cwd 'C:\Package' --shots 'T:\build\win64\screenshots\install-' \
  --answer 'Next >' --answer 'I Accept' --answer Browse --answer Cancel --answer 'Next >' \
  --answer Finish --answer No -- 'C:\Package\LFSetup.exe'
wine "$bin\\lfdrive.exe" --shots 'T:\build\win64\screenshots\uninstall-' \
  --answer Yes --answer Yes --answer OK -- 'C:\windows\LFUninst.exe'
INNER
)"

# Each window as a PNG, named after what it shows; "-": the destination page
# again after the browse dialog was cancelled, not kept.
names=(welcome license destination browse - finish run-now uninstall-confirm uninstall-content uninstall-done install-progress)
python3 - "$shots" "$out" "${names[@]}" <<'PY'
import struct, sys, zlib, os
src, dst, names = sys.argv[1], sys.argv[2], sys.argv[3:]
files = sorted(f for f in os.listdir(src) if f.endswith('.bmp') and 'progress' not in f)
files += [f for f in sorted(os.listdir(src)) if f == 'install-progress.bmp']
if len(files) != len(names):
    sys.exit('screenshots: %d windows seen, %d expected' % (len(files), len(names)))
for f, name in zip(files, names):
    if name == '-':
        continue
    data = open(os.path.join(src, f), 'rb').read()
    offset, = struct.unpack_from('<I', data, 10)
    w, h = struct.unpack_from('<ii', data, 18)
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(h - 1, -1, -1):  # bottom-up BGR to top-down RGB
        row = data[offset + y * stride: offset + y * stride + w * 3]
        rows.append(b'\0' + bytes(row[i + 2 - 2 * (i % 3)] for i in range(w * 3)))
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) + chunk(b'IEND', b'')
    open(os.path.join(dst, name + '.png'), 'wb').write(png)
    print('docs/screenshots/%s.png  %dx%d' % (name, w, h))
PY
