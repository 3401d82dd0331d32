#!/usr/bin/env bash
# The Debian package made from this build tree, checked as a user installs it.
#   package_test.sh make     BUILD_DIR SCRATCH          makes the package, unpacks it in SCRATCH/root
#   package_test.sh files    BUILD_DIR SCRATCH VERSION  every installed file, and that it runs
#   package_test.sh lintian  BUILD_DIR SCRATCH          Debian's package checker finds no error
#   package_test.sh appstream BUILD_DIR SCRATCH         the software-centre description is valid
# A checker that is not installed skips its test (exit 77).
set -euo pipefail
mode=$1 build=$2 scratch=$3
skip=77

package() {
    local debs=("$scratch"/tintwell_*.deb)
    [ -f "${debs[0]}" ] || { echo "no package in $scratch: did the make step run?" >&2; exit 1; }
    echo "${debs[0]}"
}

case "$mode" in
make)
    rm -rf "$scratch"
    mkdir -p "$scratch"
    if ! cpack -G DEB -B "$scratch" --config "$build/CPackConfig.cmake" >"$scratch/cpack.log" 2>&1; then
        cat "$scratch/cpack.log" >&2
        exit 1
    fi
    dpkg-deb -x "$(package)" "$scratch/root"
    ;;
files)
    version=$4
    root="$scratch/root"
    expected=(
        usr/bin/tintwell
        usr/bin/tintwell-window
        usr/share/applications/tintwell.desktop
        usr/share/doc/tintwell/changelog.gz
        usr/share/doc/tintwell/copyright
        usr/share/doc/tintwell/manual.html
        usr/share/doc-base/tintwell
        usr/share/icons/hicolor/scalable/apps/tintwell.svg
        usr/share/man/man1/tintwell-window.1.gz
        usr/share/man/man1/tintwell.1.gz
        usr/share/metainfo/org.example.tintwell.metainfo.xml
        usr/share/mime/packages/tintwell-kmtf.xml
    )
    # Exactly these: a stray file (a desktop cache, a build leftover) would clash with other
    # packages or ship junk.
    actual=$(cd "$root" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
    if [ "$actual" != "$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)" ]; then
        echo "installed files differ from the expected list:" >&2
        diff <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) <(echo "$actual") >&2 || true
        exit 1
    fi
    for f in "${expected[@]}"; do
        [ -s "$root/$f" ] || { echo "$f is empty or a dangling link" >&2; exit 1; }
    done

    got=$("$root/usr/bin/tintwell" --version)
    [ "$got" = "Tintwell $version" ] || { echo "installed --version says: $got" >&2; exit 1; }

    grep -q "<h1>Tintwell $version</h1>" "$root/usr/share/doc/tintwell/manual.html" \
        || { echo "the manual does not name version $version" >&2; exit 1; }
    grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/"*.metainfo.xml \
        || { echo "the metainfo has no release $version" >&2; exit 1; }

    # The manual page covers every option of --help (roff writes each - as \-).
    page=$(zcat "$root/usr/share/man/man1/tintwell.1.gz")
    grep -q '^\.SH SYNOPSIS' <<<"$page" || { echo "the manual page has no synopsis" >&2; exit 1; }
    grep -q 'Exit status' <<<"$page" || { echo "the manual page has no exit status" >&2; exit 1; }
    for option in $("$root/usr/bin/tintwell" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        grep -qF -- "${option//-/\\-}" <<<"$page" \
            || { echo "the manual page lacks $option" >&2; exit 1; }
    done

    # Dependencies come from the programs' libraries, not from a typed list.
    depends=$(dpkg-deb -f "$(package)" Depends)
    for lib in libc6 libstdc++6 libqt6widgets6; do
        grep -q "$lib" <<<"$depends" || { echo "Depends lacks $lib: $depends" >&2; exit 1; }
    done
    ;;
lintian)
    command -v lintian >/dev/null || { echo "SKIP: lintian is not installed (scripts/deps installs it)"; exit $skip; }
    # Warnings and notes are printed for a look; only an error fails.
    lintian --fail-on error --display-info "$(package)" 2>&1
    ;;
appstream)
    command -v appstreamcli >/dev/null || { echo "SKIP: appstreamcli is not installed (scripts/deps installs it)"; exit $skip; }
    appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/"*.metainfo.xml
    ;;
*)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
