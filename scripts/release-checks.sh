#!/usr/bin/env bash
# Release checks of LumivortexSetup.exe (run by .ci/run after the tests):
#  1. Reproducible: the sources, copied to two different folders and built in two
#     different build folders (different time zone, locale and job count), give
#     byte-identical executables that contain neither folder's path.
#  2. Signing: with a throwaway self-signed certificate the build signs the
#     executable; osslsigncode verifies the signature; removing it gives back the
#     unsigned bytes exactly; a tampered copy fails verification; a wrong password
#     fails the build and leaves no executable behind.
# Usage: scripts/release-checks.sh [DIR_A DIR_B]
#   DIR_A, DIR_B: scratch folders for the two builds (emptied first); default: a
#   temporary folder, removed at the end.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
for tool in cmake make osslsigncode openssl python3 cmp sha256sum; do
  command -v $tool >/dev/null || { echo "release-checks: $tool is missing (scripts/setup-deps.sh installs it)" >&2; exit 1; }
done

tmp=
if [ $# -ge 2 ]; then
  dir_a=$1 dir_b=$2
else
  tmp=$(mktemp -d)
  dir_a=$tmp/a dir_b=$tmp/b
fi
cleanup() { [ -n "$tmp" ] && rm -rf "$tmp"; return 0; }
trap cleanup EXIT
rm -rf "$dir_a" "$dir_b"
mkdir -p "$dir_a" "$dir_b"
dir_a=$(cd "$dir_a" && pwd) dir_b=$(cd "$dir_b" && pwd)

# The files of the working tree (tracked and new, not ignored); outside git, all but build folders.
copy_sources() {
  mkdir -p "$1"
  if git -C "$top" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$top" && git ls-files -z --cached --others --exclude-standard \
      | xargs -0 -I{} sh -c '[ -e "$1" ] && printf "%s\0" "$1"' _ {} \
      | tar --null -T - -cf -) | tar -xf - -C "$1"
  else
    (cd "$top" && tar --exclude='./build*' -cf - .) | tar -xf - -C "$1"
  fi
}

# build SRC OUT JOBS [cmake options...]: configure and build the installer alone.
build() {
  local src=$1 out=$2 jobs=$3
  shift 3
  cmake -S "$src" -B "$out" -DCMAKE_BUILD_TYPE=MinSizeRel -DLV_BUILD_TESTS=OFF "$@" >"$out.log" 2>&1 \
    && cmake --build "$out" -j"$jobs" --target LumivortexSetup >>"$out.log" 2>&1
}

fail() {
  echo "release-checks: FAILED: $*" >&2
  exit 1
}

echo "== Reproducibility"
src_a=$dir_a/src
src_b=$dir_b/a/longer/path/to/the/sources
copy_sources "$src_a"
copy_sources "$src_b"
TZ=UTC LC_ALL=C build "$src_a" "$dir_a/build" 1 || { cat "$dir_a/build.log"; fail "build A"; }
TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 build "$src_b" "$dir_b/out-b" 2 || { cat "$dir_b/out-b.log"; fail "build B"; }
exe_a=$dir_a/build/LumivortexSetup.exe
exe_b=$dir_b/out-b/LumivortexSetup.exe
if ! cmp -s "$exe_a" "$exe_b"; then
  echo "The two builds differ; first differing bytes (offset, A, B, octal) and the section table:"
  cmp -l "$exe_a" "$exe_b" | head -20 || true
  objdump -h "$exe_a" 2>/dev/null | grep -E '^ +[0-9]' || true
  fail "the same sources gave different bytes"
fi
# No folder of either build may be inside, in ANSI or UTF-16, Unix or Windows form.
python3 - "$exe_a" "$src_a" "$dir_a/build" "$src_b" "$dir_b/out-b" <<'EOF' || fail "a build path is inside the executable"
import sys
data = open(sys.argv[1], 'rb').read()
bad = []
for d in sys.argv[2:]:
    for form in (d, 'Z:' + d.replace('/', '\\')):
        for enc in ('ascii', 'utf-16-le'):
            if form.encode(enc) in data:
                bad.append('%s (%s)' % (form, enc))
if bad:
    print('\n'.join(bad))
sys.exit(1 if bad else 0)
EOF
echo "identical: $(stat -c %s "$exe_a") bytes, sha256 $(sha256sum "$exe_a" | cut -d' ' -f1)"
echo "no build path inside"

echo "== Signing"
keys=$dir_a/keys
mkdir -p "$keys"
chmod 700 "$keys"
export LV_SIGN_PASSWORD
LV_SIGN_PASSWORD=$(openssl rand -hex 16)
openssl req -x509 -newkey rsa:3072 -nodes -sha256 -days 2 -keyout "$keys/key.pem" -out "$keys/cert.pem" \
  -subj "/CN=Kestovan throwaway test signer/O=Kestovan" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1 \
  || fail "making the test certificate"
openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" -out "$keys/signer.p12" \
  -passout env:LV_SIGN_PASSWORD || fail "making the PKCS#12 file"
signed_dir=$dir_a/signed
build "$src_a" "$signed_dir" 2 -DLV_SIGN_PKCS12="$keys/signer.p12" || { cat "$signed_dir.log"; fail "signed build"; }
signed=$signed_dir/LumivortexSetup.exe
osslsigncode verify -CAfile "$keys/cert.pem" -in "$signed" >"$dir_a/verify.log" 2>&1 \
  || { cat "$dir_a/verify.log"; fail "osslsigncode verify of the signed build"; }
grep -q "Signature verification: ok" "$dir_a/verify.log" || { cat "$dir_a/verify.log"; fail "no verified signature"; }
grep -q "Text description: Lumivortex filter" "$dir_a/verify.log" || fail "the signature does not name the product"
echo "signed: osslsigncode verify: ok ($(stat -c %s "$signed") bytes)"

# The signature must be the only change: without it, the bytes are the reproducible build's.
osslsigncode remove-signature -in "$signed" -out "$dir_a/stripped.exe" >/dev/null 2>&1 || fail "remove-signature"
cmp -s "$dir_a/stripped.exe" "$exe_a" || fail "the signed file differs from the unsigned build beyond its signature"
echo "signed minus its signature == the unsigned build"

# Verification must notice a changed byte of code.
cp "$signed" "$dir_a/tampered.exe"
printf '\xcc' | dd of="$dir_a/tampered.exe" bs=1 seek=$((0x400 + 64)) conv=notrunc 2>/dev/null
if osslsigncode verify -CAfile "$keys/cert.pem" -in "$dir_a/tampered.exe" >/dev/null 2>&1; then
  fail "a tampered file still verifies"
fi
echo "tampered copy: rejected"

# A wrong password fails the build and leaves no unsigned executable that looks finished.
rm -f "$signed"
if LV_SIGN_PASSWORD=wrong cmake --build "$signed_dir" --target LumivortexSetup >"$dir_a/wrong.log" 2>&1; then
  fail "the build succeeded with a wrong signing password"
fi
grep -q "Signing .* failed" "$dir_a/wrong.log" || { cat "$dir_a/wrong.log"; fail "the build failed, but not in signing"; }
[ ! -e "$signed" ] || fail "a failed signing left $signed behind"
echo "wrong password: build fails, no executable left"
echo "release-checks: all passed"
