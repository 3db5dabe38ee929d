#!/usr/bin/env bash
# Builds the Debian package from the build tree, checks what it holds and declares, checks that
# dpkg would install it here, then unpacks it into a throw-away root and starts the program there
# as an ordinary user: it must come up and keep its settings in that user's folder.
set -euo pipefail
build=${1:?build folder}
work=$(mktemp -d)
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/ondaris_*_amd64.deb)
echo "package: $(basename "$deb")"

contents=$(dpkg-deb -c "$deb")
for f in usr/bin/ondaris usr/share/applications/ondaris.desktop \
         usr/share/icons/hicolor/scalable/apps/ondaris.svg \
         usr/share/icons/hicolor/16x16/apps/ondaris.png usr/share/icons/hicolor/48x48/apps/ondaris.png \
         usr/share/icons/hicolor/256x256/apps/ondaris.png \
         usr/lib/udev/rules.d/60-ondaris-k8055.rules \
         usr/share/metainfo/org.example.ondaris.metainfo.xml usr/share/man/man1/ondaris.1.gz \
         usr/share/doc/ondaris/copyright usr/share/doc/ondaris/changelog.gz; do
    grep -q " \./$f\$" <<<"$contents" || fail "missing $f"
done

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6serialport6 libhidapi-libusb0 libxlsxwriter4; do
    grep -q "$d" <<<"$depends" || fail "Depends lacks $d: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = ondaris ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture"

# Would it install on this system, dependencies and all? (Nothing is changed.)
if [ "$(id -u)" -eq 0 ]; then
    dpkg --dry-run -i "$deb" >"$work/dry.log" 2>&1 || { cat "$work/dry.log"; fail "dpkg --dry-run"; }
fi

# Debian's own checks: no error from lintian, the desktop entry and the AppStream file valid.
lintian_run=(lintian)
[ "$(id -u)" -eq 0 ] && lintian_run+=(--allow-root)
"${lintian_run[@]}" --fail-on error "$deb" || fail "lintian"

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/ondaris.desktop" || fail "desktop entry"
appstream-util validate-relax --nonet "$work/root/usr/share/metainfo/org.example.ondaris.metainfo.xml" \
    || fail "AppStream file"
version=$(dpkg-deb -f "$deb" Version)
grep -q "release version=\"$version\"" "$work/root/usr/share/metainfo/org.example.ondaris.metainfo.xml" \
    || fail "AppStream release is not $version"
zcat "$work/root/usr/share/doc/ondaris/changelog.gz" | head -1 | grep -q "^ondaris ($version)" \
    || fail "changelog is not for $version"
grep -q '^Exec=ondaris$' "$work/root/usr/share/applications/ondaris.desktop" || fail "desktop Exec"
grep -q '^Categories=.*Science' "$work/root/usr/share/applications/ondaris.desktop" || fail "category"
zcat "$work/root/usr/share/man/man1/ondaris.1.gz" | grep -q "^\.TH ONDARIS 1 .*Ondaris $version" \
    || fail "manual page"

# Start it as an ordinary user, from a folder that user may not write.
chmod 755 "$work"
mkdir -p "$work/home" "$work/run"
run=()
if [ "$(id -u)" -eq 0 ]; then
    chown 65534:65534 "$work/home" "$work/run"
    run=(setpriv --reuid=65534 --regid=65534 --clear-groups)
else
    chmod a-w "$work/root/usr/bin"
fi
chmod 700 "$work/run"
(cd "$work/home" && exec env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
    QT_QPA_PLATFORM="${QT_QPA_PLATFORM:?set by CTest}" "${run[@]}" "$work/root/usr/bin/ondaris") &
pid=$!
cfg="$work/home/.config/ondaris/ondaris.cfg"
for _ in $(seq 100); do [ -f "$cfg" ] && break; sleep 0.1; done
[ -f "$cfg" ] || fail "no settings in the user's folder"
kill -0 "$pid" 2>/dev/null || fail "the program did not keep running"
[ "$(stat -c %s "$cfg")" -eq 53 ] || fail "settings file size"
[ ! -e "$work/root/usr/bin/ondaris.cfg" ] || fail "settings written beside the installed program"
echo "package checks: all good"
