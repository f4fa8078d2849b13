#!/usr/bin/env bash
# Soak run: the real program, in a copy of the program folder under its own Xvfb, driven by scripted
# input (walking, jumping, flying, firing, switching personality, switching to the editor and back,
# editing the terrain, saving the world) for a given time. Every 10 s it records the memory in use
# (RSS), the frame times and the errors in the log into soak.csv; at the end it prints a summary.
# Fails when the program dies, when the log holds an error (OpenGL errors are logged as errors), or
# when memory at the end is more than 5 % above memory after the first minute.
#   scripts/soak.sh [--minutes N | --seconds N] [--size WxH] [--out folder]
# (default: 30 minutes in a 640x480 window: Mesa's software renderer on Xvfb is bound by the pixels
# it shades, and a small window gives the scripted input more frames to act in).
# Frame times come from a small library preloaded into the program that times its buffer swaps; the
# program itself is unchanged.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=1800
out=build/soak
size=640x480
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) seconds=$(($2 * 60)); shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --size) size=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: scripts/soak.sh [--minutes N | --seconds N] [--size WxH] [--out folder]" >&2; exit 2 ;;
  esac
done
scripts/build.sh --target kipster kipster_generated_content > /dev/null

rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)
folder=$(mktemp -d /tmp/kipster-soak-XXXXXX)
xvfb_pid=""
pid=""
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$folder"
}
trap cleanup EXIT

# The program folder as shipped, without the benchmarks; no sound card here, so OpenAL mixes into nothing.
cp -r build/bin/. "$folder"
rm -f "$folder"/bench_*
printf '[general]\ndrivers=null\n' > "$folder/alsoft.conf"
sed -i -e "s/^Width *=.*/Width = ${size%x*}/" -e "s/^Height *=.*/Height = ${size#*x}/" \
    -e "s/^Fullscreen *=.*/Fullscreen = FALSE/" -e "s/^StartupMode *=.*/StartupMode = Game/" "$folder/kipster.ini"
export ALSOFT_CONF=$folder/alsoft.conf

# Times every buffer swap; once a second appends "<seconds> <frames> <mean ms> <longest ms>".
cat > "$out/frametimes.c" <<'CODE'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

void glXSwapBuffers(void* display, unsigned long drawable)
{
    static void (*real)(void*, unsigned long);
    static FILE* out;
    static double start, last, windowStart, sum, longest;
    static long frames;
    if (!real) {
        real = (void (*)(void*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
        const char* path = getenv("KIPSTER_SOAK_FRAMES");
        out = path ? fopen(path, "w") : NULL;
        start = last = windowStart = now();
    }
    real(display, drawable);
    const double t = now();
    const double frame = (t - last) * 1000.0;
    last = t;
    sum += frame;
    longest = frame > longest ? frame : longest;
    ++frames;
    if (out && t - windowStart >= 1.0) {
        fprintf(out, "%.1f %ld %.2f %.2f\n", t - start, frames, sum / frames, longest);
        fflush(out);
        windowStart = t;
        sum = longest = 0.0;
        frames = 0;
    }
}
CODE
cc -O2 -shared -fPIC -o "$out/frametimes.so" "$out/frametimes.c" -ldl

exec 5> "$out/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 +extension GLX +extension RANDR -nolisten tcp > "$out/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 5>&-
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$out/display")

KIPSTER_SOAK_FRAMES=$out/frames.txt LD_PRELOAD=$out/frametimes.so "$folder/kipster" > "$out/program.log" 2>&1 &
pid=$!

main_window() { xdotool search --onlyvisible --name '^Kipster\*?$' 2>/dev/null | head -1; }
for _ in $(seq 300); do [ -n "$(main_window)" ] && break; sleep 0.1; done
[ -n "$(main_window)" ] || { echo "soak: the main window never appeared"; exit 1; }
focus() { xdotool search --onlyvisible --name '^Kipster\*?$' windowfocus 2>/dev/null || true; }

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0; }
log_errors() { grep -c 'class = "error"' "$folder/log.html" 2>/dev/null || true; }
# A modal error box stops every frame until someone presses its button; it is counted by the log.
close_boxes() {
  local windows
  windows=$(xdotool search --onlyvisible --name '^Kipster\*?$' 2>/dev/null | wc -l)
  [ "$windows" -gt 1 ] && xdotool key Return 2>/dev/null || true
}
alive() { kill -0 "$pid" 2>/dev/null; }

echo "seconds,rss_kb,frames,mean_frame_ms,longest_frame_ms,log_errors" > "$out/soak.csv"
start=$(date +%s)
next_sample=$start
sample() {
  local t frames_line
  t=$(($(date +%s) - start))
  frames_line=$(tail -1 "$out/frames.txt" 2>/dev/null || echo "0 0 0 0")
  set -- $frames_line
  echo "$t,$(rss_kb),${2:-0},${3:-0},${4:-0},$(log_errors)" >> "$out/soak.csv"
}
# Sleeps in small steps, sampling every 10 s and keeping an error box from stopping the run.
wait_for() {
  local until=$(($(date +%s%N) / 1000000 + $1))
  while [ $(($(date +%s%N) / 1000000)) -lt $until ]; do
    alive || return 1
    if [ "$(date +%s)" -ge "$next_sample" ]; then
      sample
      next_sample=$((next_sample + 10))
    fi
    close_boxes
    sleep 0.1
  done
}
hold() { xdotool keydown "$1"; wait_for "$2"; xdotool keyup "$1"; }

# One round of play and editing, about a minute long; repeated until the time is up.
round() {
  focus
  hold w 3000; hold a 800; hold d 800; hold s 1000
  for _ in 1 2 3; do xdotool key space; wait_for 700; done
  xdotool mousemove_relative -- 120 0; wait_for 500
  hold space 2500                                     # Kipster flies while Space is held in the air
  xdotool key Tab; wait_for 500                       # Turbo-Kip
  for _ in 1 2 3 4 5; do xdotool click 1; wait_for 400; done
  hold w 1500
  xdotool click 4; wait_for 500; xdotool click 5; wait_for 500   # personality by the wheel
  xdotool key Tab; wait_for 500
  xdotool mousemove_relative -- -120 0; wait_for 500
  xdotool key F5; wait_for 2500                       # editor
  focus
  xdotool mousemove 640 600 mousedown 1; wait_for 1200; xdotool mouseup 1
  xdotool mousemove 700 560 mousedown 1; wait_for 800; xdotool mouseup 1
  xdotool key ctrl+alt+s; wait_for 3000               # save the world
  xdotool key F5; wait_for 2500                       # back to the game
  hold w 4000
  for _ in 1 2 3 4 5 6; do hold d 500; hold w 800; done
  wait_for 5000
}

end=$((start + seconds))
while [ "$(date +%s)" -lt "$end" ] && alive; do
  round || break
done
sample
survived=1
alive || survived=0
if [ $survived = 1 ]; then
  focus
  xdotool key Escape
  for _ in $(seq 100); do alive || break; sleep 0.1; done
fi
cp "$folder/log.html" "$out/log.html" 2>/dev/null || true

# Summary: memory after the first minute (or the first third of a shorter run) against the end.
baseline_at=$((seconds < 180 ? seconds / 3 : 60))
read -r baseline final errors < <(awk -F, -v at="$baseline_at" 'NR > 1 {
    if (!base && $1 >= at) base = $2; last = $2; errs = $6 } END { print base + 0, last + 0, errs + 0 }' "$out/soak.csv")
frames=$(awk '{ n += $2; sum += $2 * $3; if ($4 > worst) worst = $4 } END {
    if (n) printf "%d frames, mean %.2f ms, longest %.2f ms", n, sum / n, worst; else print "no frames" }' "$out/frames.txt" 2>/dev/null)
growth=$(awk -v b="$baseline" -v f="$final" 'BEGIN { if (b > 0) printf "%.1f", (f - b) * 100 / b; else print "n/a" }')
echo "soak: ${seconds} s; memory ${baseline} kB after ${baseline_at} s, ${final} kB at the end (${growth} %); $frames; $errors log errors"
grep 'class = "error"' "$out/log.html" 2>/dev/null | head -5 | sed 's/<[^>]*>//g; s/^/  /' || true
failed=0
[ $survived = 1 ] || { echo "soak: the program died (see $out/program.log)"; failed=1; }
[ "$errors" -eq 0 ] || failed=1
awk -v b="$baseline" -v f="$final" 'BEGIN { exit !(b > 0 && f <= b * 1.05) }' || { echo "soak: memory grew by more than 5 %"; failed=1; }
exit $failed
