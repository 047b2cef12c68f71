#!/usr/bin/env bash
# Checks a built .deb: lintian finds no error, and the program unpacked into a scratch root
# (dpkg -x) shows its usage text and performs a whole automatic run.
set -euo pipefail
deb=$1
fail() {
  echo "check_package: $*" >&2
  exit 1
}
lintianStatus=0
lintianOut=$(lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1) || lintianStatus=$?
grep -v "root privileges" <<<"$lintianOut" >&2 || true
[ "$lintianStatus" -eq 0 ] || fail "lintian reports errors"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg -x "$deb" "$work/root"
bin="$work/root/usr/bin/quillmoor"
[ -x "$work/root/usr/bin/quillmoor-ctl" ] || fail "quillmoor-ctl missing"
for page in quillmoor quillmoor-ctl; do
  [ -f "$work/root/usr/share/man/man1/$page.1.gz" ] || fail "manual page $page(1) missing"
done
for example in quillmoor-clean.service quillmoor-clean.timer crontab; do
  [ -f "$work/root/usr/share/doc/quillmoor/examples/$example" ] || fail "example $example missing"
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "Depends lacks the Qt libraries"
[ "$(dpkg-deb -f "$deb" Recommends)" = fonts-ipafont-gothic ] || fail "Recommends is wrong"

export QUILLMOOR_CONSOLE=1
status=0
"$bin" /h 2>"$work/usage" || status=$?
[ "$status" -eq 0 ] || fail "/h exited with $status"
grep -qx "Usage PATH=filepath DAYS=DaysCount \[DEBUG=0,1,2\]" "$work/usage" || fail "no usage text"

# An automatic run: the old file goes and its emptied folder with it, the new file stays.
tree="$work/tree"
mkdir -p "$tree/gone" "$tree/kept"
touch -d 2000-01-01 "$tree/gone/old.txt" "$tree/old.txt"
touch "$tree/kept/new.txt"
"$bin" "PATH=$tree" DAYS=30 "LOG=$work/run.log" </dev/null >/dev/null || status=$?
[ "$status" -eq 0 ] || fail "the automatic run exited with $status"
[ ! -e "$tree/old.txt" ] && [ ! -e "$tree/gone" ] || fail "old files were not deleted"
[ -f "$tree/kept/new.txt" ] || fail "a new file was deleted"
last=$(iconv -f CP932 -t UTF-8 "$work/run.log" | tail -n 1 | tr -d '\r')
[ "${last#* * }" = "Quillmoor削除終了しました" ] || fail "the log does not end with the closing line"
echo "check_package: $(basename "$deb") passed ($(du -k "$deb" | cut -f1) KiB)"
