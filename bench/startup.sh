#!/bin/sh
# Times whole runs of both programs against /bin/true: median wall time
# over many runs, the ratio to /bin/true, the system-call count and the
# peak memory of one run.
# Needs hyperfine and strace (Debian packages of the same names). Images go
# under $TMPDIR: on a disk the editor's fsync is part of what is timed.
set -eu
cd "$(dirname "$0")/.."
runs=${RUNS:-300}

cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
build=build/release
parvel=$build/disk-utils/oxaparvel
vistrel=$build/term-utils/oxavistrel
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# An image with a two-entry table, written by the editor itself.
truncate -s 64M "$work/base.img"
printf 'n\n1\n\n65536\n\nn\n2\n67584\n\n82\nw\n' | "$parvel" "$work/base.img" >/dev/null
# The editor reads its commands from a pipe, so its session runs under sh;
# the yardstick is the same pipeline into /bin/true.
commands='n\\n3\\n\\n2048\\n\\nw\\n'
printf '#!/bin/sh\nprintf "%s" | %s %s >/dev/null\n' "$commands" "$parvel" "$work/edit.img" >"$work/session"
printf '#!/bin/sh\nprintf "%s" | /bin/true\n' "$commands" >"$work/baseline"
chmod +x "$work/session" "$work/baseline"

# median <json>: the median of hyperfine's exported times, in microseconds.
median() {
  python3 -c 'import json,statistics,sys
for r in json.load(open(sys.argv[1]))["results"]:
    print(round(statistics.median(r["times"]) * 1e6))' "$1"
}

# compare NAME COMMAND...: times each command against /bin/true.
compare() {
  name=$1
  shift
  set -- /bin/true "$@"
  hyperfine -N --warmup 20 --runs "$runs" --export-json "$work/$name.json" \
    "$@" >/dev/null 2>&1
  median "$work/$name.json" >"$work/$name.medians"
  base=$(head -n 1 "$work/$name.medians")
  i=0
  for command in "$@"; do
    i=$((i + 1))
    us=$(sed -n "${i}p" "$work/$name.medians")
    printf '%-64s %6s us  %5s x true\n' "$command" "$us" \
      "$(python3 -c "print(f'{$us/$base:.2f}')")"
  done
}

# profile COMMAND...: system calls and peak memory of one run.
# The count includes execve and exit_group.
profile() {
  strace -f -c -o "$work/counts" "$@" >/dev/null 2>&1 || true
  calls=$(awk '$NF == "total" {print $4}' "$work/counts")
  peak=$(/usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1)
  printf '%-64s %6s system calls, %s KiB peak\n' "$*" "$calls" "$peak"
}

echo "== median wall time over $runs runs"
compare list "$parvel --list $work/base.img" "$parvel --list"
hyperfine -N --warmup 20 --runs "$runs" --export-json "$work/session.json" \
  --prepare "cp $work/base.img $work/edit.img" "$work/baseline" "$work/session" \
  >/dev/null 2>&1
median "$work/session.json" | paste -sd' ' |
  awk '{printf "%-64s %6s us  %5.2f x the same pipeline into /bin/true (%s us)\n", "scripted editor session, with fsync", $2, $2 / $1, $1}'
compare vistrel "$vistrel --foreground red --bold on --cursor off"
compare help "$parvel --help" "$vistrel --help"

echo "== one run"
profile "$parvel" --list "$work/base.img"
profile "$parvel" --list
cp "$work/base.img" "$work/edit.img"
printf 'n\n3\n\n2048\n\nw\n' >"$work/session.in"
strace -c -o "$work/counts" "$parvel" "$work/edit.img" <"$work/session.in" >/dev/null 2>&1
calls=$(awk '$NF == "total" {print $4}' "$work/counts")
printf '%-64s %6s system calls\n' "scripted editor session" "$calls"
strace -e trace=openat,read,pwrite64,fsync -o "$work/session.trace" "$parvel" "$work/edit.img" <"$work/session.in" >/dev/null
grep -E 'edit.img|^(pread|pwrite|fsync)|read\(3' "$work/session.trace" | sed 's/^/    /'
profile "$vistrel" --foreground red --bold on --cursor off
profile /bin/true
