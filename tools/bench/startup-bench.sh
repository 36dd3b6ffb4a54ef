#!/usr/bin/env bash
# Start-up benchmark: the program against a blank JUCE window program built
# the same way (tools/bench/BlankWindow.cpp), alternating, in one run:
#   - process start to the first painted frame (goal: at most 1.2x the blank
#     window's),
#   - resident memory 2 s after the start (goal: at most 15 MB more),
#   - idle CPU over 10 s on each page that can be reached, against the blank
#     window's measured in turn (goal: at most 1.5x),
#   - the first frame of the home page when its selected profile's name is
#     Han or Arabic, against a Latin name (goal: at most 1.5x).
# Prints medians and ratios; nothing is asserted.
#
#   tools/bench/startup-bench.sh BUILD-FOLDER [RUNS]
#
# Needs root: it runs in private mount and network namespaces, where /opt (so
# the program starts on a fresh machine's first-run page) and /var/tmp (the
# framework's single-instance locks) are empty, and where the stand-in service
# from the build folder answers on the program's compiled-in address, its CA
# trusted through a bind-mounted copy of the CA bundle (without a stand-in in
# the build, no service can be reached and the first-run check fails). The
# machine itself is not changed. Files are read from a warm cache: each
# program is started once before the timed runs.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: startup-bench.sh BUILD-FOLDER [RUNS]}" && pwd)
runs=${2:-9}

if [ "${AURALIS_STARTUP_BENCH_STAGE:-}" = "" ]; then
    export AURALIS_STARTUP_BENCH_STAGE=namespace
    exec unshare -m -n --propagation private "$0" "$build" "$runs"
fi

if [ "$AURALIS_STARTUP_BENCH_STAGE" = namespace ]; then
    ip link set lo up
    mount -t tmpfs -o mode=0755 tmpfs /opt
    mount -t tmpfs -o mode=1777 tmpfs /var/tmp

    standin="$build/tools/standin/auralis-standin"
    state=$(mktemp -d /tmp/auralis-startup-bench.XXXXXX)
    standin_pid=

    cleanup()
    {
        [ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null && wait "$standin_pid" 2>/dev/null
        rm -rf "$state"
    }
    trap cleanup EXIT

    if [ -x "$standin" ]; then
        ca=$("$standin" ca-path --state "$state")
        cat /etc/ssl/certs/ca-certificates.crt "$ca" >"$state/bundle.crt"
        mount --bind "$state/bundle.crt" /etc/ssl/certs/ca-certificates.crt
        "$standin" serve --state "$state" --quiet >"$state/standin.log" 2>&1 &
        standin_pid=$!

        if "$top/scripts/wait-for-standin.sh" "$ca" https://127.0.0.1:8443 "$standin_pid"; then
            echo "(the stand-in service answers on 127.0.0.1:8443)"
        else
            echo "(the stand-in service did not start; its log:)"
            cat "$state/standin.log"
        fi
    else
        echo "(no stand-in service in $build: the program's first-run check finds no service)"
    fi

    export AURALIS_BENCH_STANDIN="$standin" AURALIS_BENCH_STATE="$state"
    AURALIS_STARTUP_BENCH_STAGE=display xvfb-run -a -s "-noreset -screen 0 1280x1024x24" "$0" "$build" "$runs"
    exit $?
fi

"$top/scripts/x11-desktop-atoms.sh"

probe="$build/tools/xprobe/auralis_xprobe"
program="$build/entry/Auralis_artefacts/Release/Auralis with VST Spherion"
blank="$build/tools/bench/auralis_blank_window_artefacts/Release/Auralis Blank Window"
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

export HOME="$results/home"
mkdir -p "$HOME"

measure()
{
    "$probe" start-up "${@:2}" -- "$1"
}

field()
{
    sed -n "s/.*$1=\([-0-9.]*\).*/\1/p"
}

median()
{
    sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# Warm-up: the first start of each reads the files from disk.
measure "$blank" >/dev/null
measure "$program" >/dev/null

for _ in $(seq 1 "$runs"); do
    measure "$blank" >>"$results/blank"
    measure "$program" >>"$results/program"
done

calc()
{
    awk "BEGIN { printf \"%.2f\", $1 }"
}

blank_frame=$(field first_frame_ms <"$results/blank" | median)
program_frame=$(field first_frame_ms <"$results/program" | median)
blank_rss=$(field rss_kb <"$results/blank" | median)
program_rss=$(field rss_kb <"$results/program" | median)
blank_pss=$(field pss_kb <"$results/blank" | median)
program_pss=$(field pss_kb <"$results/program" | median)

echo "Start-up, median of $runs runs each (warm file cache, first-run page)"
printf '  %-46s %9s %9s\n' "" "program" "blank"
printf '  %-46s %9.1f %9.1f   %sx   goal: at most 1.2x\n' "process start to first painted frame (ms)" \
    "$program_frame" "$blank_frame" "$(calc "$program_frame / $blank_frame")"
printf '  %-46s %9.1f %9.1f   %+.1f MB   goal: at most +15 MB\n' "resident memory 2 s after the start (MB)" \
    "$(calc "$program_rss / 1024")" "$(calc "$blank_rss / 1024")" "$(calc "($program_rss - $blank_rss) / 1024")"
printf '  %-46s %9.1f %9.1f   %+.1f MB\n' "proportional memory (PSS) 2 s after (MB)" \
    "$(calc "$program_pss / 1024")" "$(calc "$blank_pss / 1024")" "$(calc "($program_pss - $blank_pss) / 1024")"

#===============================================================================
# Idle CPU of each page over 10 s, once the page is shown. Each line of the
# table is "page|bank|walk": with a bank, the data folder holds a bank with one
# profile before the start (so the program starts on the home page); the walk
# (tools/bench/page-walks.sh) leads from there to the page once the first
# frame is painted, answering the alerts on the way as a user would (the
# stand-in knows no HRTF data for that profile until the profile-loaded walk
# has it process an upload).
idle_pages=(
    "start page (first run)||"
    "home page (returning user)|bank|home"
    "updates page|bank|updates"
    "personalise page (new image)|bank|personalise"
    "profile-loaded page (new image)|bank|profile-loaded"
)

data_folder=$(sed -n 's/^data_folder="\(.*\)"$/\1/p' "$build/linux-package/postinst")
bank_probe="$build/tools/package/auralis_shared_bank_probe"

# The blank window is measured again before each measurement of a page, and
# the page compared with those figures: the machine's background load drifts
# over the run. Each page is measured in three rounds (the figures are the
# medians): a single 10 s figure of one or two percent is a few dozen clock
# ticks, and another program's burst can double it.
idle_rounds=3
echo "Idle CPU over 10 s, median of $idle_rounds rounds, each page against the blank window measured in turn (goal: at most 1.5x)"
printf '  %-46s %9s %9s\n' "" "program" "blank"

for entry in "${idle_pages[@]}"; do
    IFS='|' read -r page bank walk <<<"$entry"
    walk_command=
    [ -n "$walk" ] && walk_command="$top/tools/bench/page-walks.sh $walk"
    : >"$results/idle-blank"
    : >"$results/idle-page"

    for _ in $(seq 1 "$idle_rounds"); do
        rm -rf "/opt/Common Files"

        if [ -n "$bank" ]; then
            "$bank_probe" "$data_folder" "Listener" "hrtf-bench" >/dev/null
        fi

        measure "$blank" --idle-cpu-ms 10000 | field idle_cpu_percent >>"$results/idle-blank"
        measure "$program" ${walk_command:+--then "$walk_command"} --idle-cpu-ms 10000 | field idle_cpu_percent >>"$results/idle-page"
    done

    blank_idle=$(median <"$results/idle-blank")
    page_idle=$(median <"$results/idle-page")
    printf '  %-46s %8.2f%% %8.2f%%   %sx\n' "$page" "$page_idle" "$blank_idle" \
        "$(awk -v p="$page_idle" -v b="$blank_idle" 'BEGIN { if (b > 0) printf "%.2f", p / b; else print "-" }')"
done

rm -rf "/opt/Common Files"

#===============================================================================
# The home page's first frame with a returning user's name in a script the
# embedded faces lack: the installed face is found and loaded, and the name
# shaped, before that frame.
echo "Home page's first frame by the selected profile's script, median of $runs runs each (goal: at most 1.5x the Latin name's)"
home_names=("Latin|Listener" "Han|$(printf '\xe6\x9d\x8e\xe9\x9b\xb7')" "Arabic|$(printf '\xd9\x85\xd8\xad\xd9\x85\xd8\xaf')")
latin_frame=

for entry in "${home_names[@]}"; do
    IFS='|' read -r script name <<<"$entry"
    : >"$results/home-frame"

    for _ in $(seq 1 "$runs"); do
        rm -rf "/opt/Common Files"
        "$bank_probe" "$data_folder" "$name" "hrtf-bench" >/dev/null
        measure "$program" | field first_frame_ms >>"$results/home-frame"
    done

    frame=$(median <"$results/home-frame")
    [ -n "$latin_frame" ] || latin_frame=$frame
    printf '  %-46s %9.1f ms   %sx\n' "$script name" "$frame" "$(calc "$frame / $latin_frame")"
done

rm -rf "/opt/Common Files"
