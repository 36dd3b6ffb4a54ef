#!/usr/bin/env bash
# End to end: the whole program as its users meet it, through its real window
# under Xvfb against the stand-in service, driven with xdotool and read back
# through window titles, fixed page points and text read off the screen.
#
# Scenarios, in the order they run (one state folder and one data folder for
# all of them, so each goes on from what the one before left):
#
#   first-start      the software-update notices of a first start: the
#                    service unreachable, an optional update ("Download
#                    Now!" opens the address), a forced one ("OK" opens it and
#                    quits), an unsupported version (dismissed: keeps running)
#   onboarding       a first profile from the start page to the profile-loaded
#                    page and home; the service stops before Begin and again
#                    while the personalise page waits, and the flow resumes
#   second-profile   "+" on the home page adds a second profile, whose HRTF
#                    the service already holds
#   returning-user   a start with a bank of two profiles: the home page with
#                    the last selected one (the service unreachable at first),
#                    a switch of profile, a new image submission (the service
#                    stops before the first try) through the personalise and
#                    profile-loaded pages back home
#   updates          the updates page: a waiting data set downloaded with
#                    "Profile Update" (the service stops before the first
#                    try), then an optional software update ("Software
#                    Update" opens its address)
#   second-launch    a second start while the program runs opens no window
#   forced-update    a forced software update on the home page: "OK" opens
#                    the address and quits
#
# Runs in private namespaces (see lib.sh); exits 77 (skipped) when not root.
# Screenshots of every page state go to SNAPSHOT_DIR, the logs to
# SNAPSHOT_DIR/logs.
#
# usage: whole-flow.sh PROGRAM STANDIN SOURCE_DIR SNAPSHOT_DIR [SCENARIO...]
# Scenarios named alone first build what they need through the real flows
# (a scenario needing two profiles onboards them).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_enter "$@"
shift 4
command -v tesseract > /dev/null || fail "tesseract is not installed (scripts/setup.sh installs it)"

all_scenarios=(first-start onboarding second-profile returning-user updates second-launch forced-update)
first_name="Ada Clarke"
second_name="Bruno Mendes"
update_url="https://127.0.0.1:8443/download?version=0.0.11"
connection_message="Thank you for using Auralis.  Please check your internet connection to continue."

#===============================================================================
# Page points and steps shared by the scenarios.

# Start page
name_field=(250 353)
begin_button=(256 418)
# Personalise page
next_button=(309 406)
# Profile-loaded page
home_button=(427 168)
# Home page
profile_box=(200 180)
add_button=(391 180)
refresh_icon=(457 180)
submit_button=(380 390)
show_button=(332 325)
# Updates page
profile_update_button=(174 394)
software_update_button=(368 394)

name_judged_valid() { grab && near "$(colours_at 444,352)" "$green"; }

back_arrow_shown() { grab && near "$(colours_at 82,168)" "$red"; }

qr_on_page()
{
    grab && zbarimg --nodbus --raw -q "$e2e_work/window.png" 2> /dev/null | grep -q "/upload/" && on_page personalise
}

# The profile the home page's selector shows.
selected_profile() { grab && ocr 66 162 220 36; }

shows_profile()
{
    on_page home || return 1
    local text
    text=$(ocr 66 162 220 36)
    e2e_seen="home page showing \"$text\""
    reads "$text" "$1"
}

wait_home_with()
{
    wait_for 30 "home page showing $1" shows_profile "$1"
    say "home page shows $1"
}

# Red submission dots on the home page.
filled_dots()
{
    grab
    local c n=0
    for c in $(colours_at 306,298 334,298 362,298 390,298 418,298); do
        near "$c" "$red" && n=$((n + 1))
    done
    echo "$n"
}

dots_are()
{
    local dots
    dots=$(filled_dots)
    e2e_seen="$dots submission dots"
    [ "$dots" = "$1" ]
}

badge_lit() { on_page home && near "$(colours_at 468,157)" 255,0,0; }

menu_shown()
{
    menu_wid=$(find_windows '^menu$' | head -1)
    [ -n "$menu_wid" ]
}

# pick_profile NAME: picks the profile in the home page's selector, once the
# page's own check is over (a choice made while a check runs changes the
# selector's text only).
pick_profile()
{
    local target=$1 index count
    index=$(profile_index "$target")
    count=$(bank_profiles | wc -l)
    [ -n "$index" ] || fail "no profile $target in the bank"
    wait_quiet
    click "${profile_box[@]}"
    wait_for 5 "list of profiles" menu_shown

    # The list takes no click in its first moments (it would be the end of
    # the press that opened it): click until it closes.
    geometry "$menu_wid"
    menu_item_x=$((geo_x + geo_w / 2))
    menu_item_y=$((geo_y + geo_h * (2 * index + 1) / (2 * count)))
    wait_for 5 "choice of $target in the list" click_menu_item
    xdotool mousemove --window "$wid" 535 560
}

click_menu_item()
{
    xdotool mousemove "$menu_item_x" "$menu_item_y" sleep 0.1 click 1
    within 0.4 eval '! menu_shown'
}

# choose_profile NAME: picks the profile and waits for the check it starts.
choose_profile()
{
    pick_profile "$1"
    wait_home_with "$1"
    wait_quiet
}

# The profile the home page shows, and the other one.
shown_profile()
{
    if reads "$(selected_profile)" "$first_name"; then
        echo "$first_name"
    else
        echo "$second_name"
    fi
}

other_profile()
{
    if [ "$(shown_profile)" = "$first_name" ]; then
        echo "$second_name"
    else
        echo "$first_name"
    fi
}

# enter_name NAME: types a name on the start page and waits for the
# valid icon.
enter_name()
{
    click "${name_field[@]}"
    xdotool key --clearmodifiers ctrl+a BackSpace
    type_text "$1"
    wait_for 10 "valid-name icon" name_judged_valid
}

# HOME does nothing while the page still fetches its picture: press it until
# the home page shows.
go_home_from_profile_loaded()
{
    wait_for 20 "home page after HOME" press_home
}

press_home() { click "${home_button[@]}" && within 1 on_page home; }

# The program runs and shows the home page.
ensure_home_page()
{
    app_is_running || { standin_start; app_start; }
    wait_page home
    wait_quiet
}

# The bank holds both profiles (built through the real flows when not).
ensure_two_profiles()
{
    if [ "$(bank_profiles | wc -l)" -lt 1 ]; then
        scenario_onboarding
    fi

    if [ "$(bank_profiles | wc -l)" -lt 2 ]; then
        scenario_second_profile
    fi
}

profile_index()
{
    bank_profiles | grep -nxF "$1" | cut -d: -f1 | awk '{ print $1 - 1 }'
}

#===============================================================================
scenario_first_start()
{
    e2e_scenario=first-start
    [ ! -e "$e2e_data/Presets" ] || fail "a first start needs a machine without profiles"
    app_kill

    # The service unreachable: the connection alert, then the start page.
    standin_stop
    app_start
    wait_alert "Error!"
    expect_alert_text "$connection_message"
    shot service-unreachable
    answer_alert Return
    wait_page start
    expect "no back arrow on a first start" eval '! back_arrow_shown'
    shot start-page
    app_close

    # An optional update: "Download Now!" opens its address, the program stays.
    standin_start
    standin software-update --latest 0.0.11 --optional --notes "Faster downloads." --url "$update_url" > /dev/null
    app_start
    wait_alert "A new version of Auralis is available!"
    expect_alert_text "Faster downloads."
    shot optional-update
    click_alert_button 2
    wait_for 10 "browser launch" browser_opened 1
    expect "the download address in the browser" test "$browser_last" = "$update_url"
    wait_page start
    app_close

    # A forced update: "OK" opens the address and quits.
    standin software-update --forced > /dev/null
    app_start
    wait_alert "Update Now!"
    expect_alert_text "Your Auralis software is out of date. Please update now for the best experience."
    shot forced-update
    accept_forced_update 2

    # An unsupported version, dismissed with Escape: nothing opens, it stays.
    standin software-update --optional --unsupported-below 0.0.11 > /dev/null
    app_start
    wait_alert "Update Now!"
    expect_alert_text "This Auralis version is no longer supported. Please update now for the best experience."
    shot unsupported-version
    answer_alert Escape
    wait_page start
    expect "no browser launch after Escape" browser_opened 2
    app_close

    standin software-update --none --all-supported > /dev/null
    expect "no profile after first starts" test ! -e "$e2e_data/Presets"
}

#===============================================================================
scenario_onboarding()
{
    e2e_scenario=onboarding
    [ -z "$(bank_profiles)" ] || fail "onboarding needs a machine without profiles"
    app_kill
    standin_start
    app_start
    wait_page start
    wait_quiet
    expect "no back arrow on a first start" eval '! back_arrow_shown'
    enter_name "$first_name"
    shot name-typed

    # The service stops before Begin: the connection alert, no profile left.
    standin_stop
    click "${begin_button[@]}"
    wait_alert "Error!"
    expect_alert_text "$connection_message"
    shot begin-service-unreachable
    answer_alert Return
    wait_page start
    expect "no profile after a failed Begin" test -z "$(bank_profiles)"

    # Back again: the name is edited once more and Begin goes on.
    standin_start
    click "${name_field[@]}"
    xdotool key --clearmodifiers End BackSpace
    type_text "${first_name: -1}"
    wait_for 10 "valid-name icon" name_judged_valid
    click "${begin_button[@]}"
    wait_for 30 "QR code on the personalise page" qr_on_page
    grab
    expect "the personalise page to name the profile" reads "$(ocr 112 154 312 35)" "Logged in as $first_name"
    shot personalise-page
    expect "the new profile in the bank" test "$(bank_profiles)" = "$first_name"

    # An upload is processed, but the service stops before Next.
    standin upload latest > /dev/null
    local before
    before=$(data_digest)
    standin_stop
    click "${next_button[@]}"
    wait_alert "Error!"
    expect_alert_text "$connection_message"
    shot next-service-unreachable
    answer_alert Return
    wait_page personalise
    expect "nothing changed on disk" test "$(data_digest)" = "$before"

    # Back again: Next finds the upload, downloads the HRTF.
    standin_start
    click "${next_button[@]}"
    wait_page profile-loaded 60
    shot profile-loaded-page
    go_home_from_profile_loaded
    wait_home_with "$first_name"
    shot home-page

    expect "one profile in the bank" test "$(bank_profiles)" = "$first_name"
    check_hrtf "$(bank preset.0.hrtf_id)"
    expect "the first image in the profile" test "$(bank preset.0.img_id | sed 's/.*_//')" = 1
}

#===============================================================================
scenario_second_profile()
{
    e2e_scenario=second-profile
    [ "$(bank_profiles | wc -l)" -ge 1 ] || scenario_onboarding
    e2e_scenario=second-profile
    ensure_home_page

    click_when_quiet "${add_button[@]}"
    wait_page start
    expect "a back arrow on the start page reached from home" back_arrow_shown
    enter_name "$second_name"
    shot start-page-from-home

    # The service already holds this device's HRTF: it is downloaded at once.
    click "${begin_button[@]}"
    wait_home_with "$second_name"
    shot home-page

    local index
    index=$(profile_index "$second_name")
    expect "the second profile in the bank" test -n "$index"
    check_hrtf "$(bank "preset.$index.hrtf_id")"
}

#===============================================================================
scenario_returning_user()
{
    e2e_scenario=returning-user
    ensure_two_profiles
    e2e_scenario=returning-user

    # Closing saves the selection; the second profile was the last chosen.
    if app_is_running; then
        wait_page home
        app_close
    fi
    local last first_index second_index
    first_index=$(profile_index "$first_name")
    second_index=$(profile_index "$second_name")
    last=$(bank bank.lastSelectedPreset)
    expect "the bank to remember the second profile (lastSelectedPreset $last)" test "$last" = "$second_index"

    # A start with the service unreachable: the alert, the page, nothing lost.
    local before
    before=$(data_digest)
    standin_stop
    app_start
    wait_alert "Error!"
    expect_alert_text "$connection_message"
    shot start-service-unreachable
    answer_alert Return
    wait_home_with "$second_name"
    shot home-page-last-selected
    expect "nothing changed on disk" test "$(data_digest)" = "$before"

    # Back again: choosing the other profile checks it with the service.
    standin_start
    choose_profile "$first_name"
    shot switched-profile
    wait_for 10 "four submission dots" dots_are 4

    # Submit New Image while the service is down: the alert, nothing lost.
    before=$(data_digest)
    standin_stop
    click_when_quiet "${submit_button[@]}"
    wait_alert "Error!"
    expect_alert_text "$connection_message"
    shot submit-service-unreachable
    answer_alert Return
    wait_home_with "$first_name"
    expect "nothing changed on disk" test "$(data_digest)" = "$before"

    # Back again: the QR code, a processed upload, Next, the download.
    standin_start
    click_when_quiet "${submit_button[@]}"
    wait_for 30 "QR code on the personalise page" qr_on_page
    grab
    expect "the personalise page to name the profile" reads "$(ocr 112 154 312 35)" "Logged in as $first_name"
    shot personalise-page

    local upload new_hrtf
    upload=$(standin upload latest)
    new_hrtf=$(sed -n 's/.*hrtf_id \([^ ]*\).*/\1/p' <<< "$upload")
    click "${next_button[@]}"
    wait_page profile-loaded 60
    shot profile-loaded-page
    go_home_from_profile_loaded
    wait_home_with "$first_name"
    wait_for 10 "three submission dots" dots_are 3
    shot home-page-after-new-image

    expect "the new HRTF in the profile" test "$(bank "preset.$first_index.hrtf_id")" = "$new_hrtf"
    expect "the second image in the profile" test "$(bank "preset.$first_index.img_id" | sed 's/.*_//')" = 2
    check_hrtf "$new_hrtf"
}

#===============================================================================
scenario_updates()
{
    e2e_scenario=updates
    ensure_two_profiles
    e2e_scenario=updates
    ensure_home_page

    # A data set made elsewhere waits (an upload from another phone); the
    # check of the profile chosen next shows it.
    local upload new_hrtf profile index
    upload=$(standin upload latest)
    new_hrtf=$(sed -n 's/.*hrtf_id \([^ ]*\).*/\1/p' <<< "$upload")
    profile=$(other_profile)
    index=$(profile_index "$profile")
    choose_profile "$profile"
    wait_for 15 "update badge" badge_lit
    shot home-page-badge

    click_when_quiet "${refresh_icon[@]}"
    wait_for 15 "updates page with a profile update" updates_page_says "Updates Available!"
    expect "the profile update notice" reads "$(ocr 130 223 282 28)" "New profile ready to download."
    expect "Profile Update offered" update_button_offered 94
    expect "Software Update not offered" eval '! update_button_offered 288'
    shot profile-update-waiting

    # The service stops before Profile Update: the alert, the page stays.
    local before
    before=$(data_digest)
    standin_stop
    click_when_quiet "${profile_update_button[@]}"
    wait_alert "Error!"
    expect_alert_text "Please check your internet connection and press Profile Update to continue."
    shot profile-update-service-unreachable
    answer_alert Return
    wait_page updates
    expect "nothing changed on disk" test "$(data_digest)" = "$before"

    # Meanwhile a newer program is announced; back again, the download.
    standin software-update --latest 0.0.11 --optional --notes "Faster downloads." --url "$update_url" > /dev/null
    standin_start
    click_when_quiet "${profile_update_button[@]}"
    wait_home_with "$profile"
    expect "the waiting HRTF in the profile" test "$(bank "preset.$index.hrtf_id")" = "$new_hrtf"
    check_hrtf "$new_hrtf"

    # The home page's check shows the software update.
    wait_for 15 "update badge" badge_lit
    shot home-page-software-badge
    click_when_quiet "${refresh_icon[@]}"
    wait_for 15 "updates page with a software update" updates_page_says "Updates Available!"
    expect "the release notes" reads "$(ocr 130 252 282 60 lines)" "A new version of Auralis is available! Faster downloads."
    expect "Software Update offered" update_button_offered 288
    expect "Profile Update not offered" eval '! update_button_offered 94'
    shot software-update-waiting

    local opened
    opened=$(browser_count)
    click_when_quiet "${software_update_button[@]}"
    wait_for 10 "browser launch" browser_opened $((opened + 1))
    expect "the download address in the browser" test "$browser_last" = "$update_url"
    wait_home_with "$profile"
    shot home-page-after-updates
    standin software-update --none > /dev/null
}

# accept_forced_update COUNT: "OK" on the forced-update alert opens the
# download address (the browser's COUNT-th launch) and quits the program.
accept_forced_update()
{
    answer_alert Return
    wait_for 10 "browser launch" browser_opened "$1"
    expect "the download address in the browser" test "$browser_last" = "$update_url"

    # No event reaches the idle window after the alert closes (no window
    # manager, no pointer movement): the program must end by itself.
    app_wait_exit 20
    say "the program quit after the forced update"
}

updates_page_says()
{
    on_page updates || return 1
    local text
    text=$(ocr 110 157 363 23)
    e2e_seen="updates page saying \"$text\""

    # Read with a misread letter allowed, "No Updates Available!" (shown
    # while the check still runs) would pass for "Updates Available!".
    if [[ "$1" != No* && "$text" == *No\ * ]]; then
        return 1
    fi

    reads "$text" "$1"
}

# update_button_offered X: the update button at page x X is painted by the
# page with its red outline (offered), not as its own grey child.
press_show()
{
    grab
    near "$(colours_at 298,325)" "$red" && click "${show_button[@]}"
    within 1 shows_hrtf_id
}

shows_hrtf_id()
{
    grab
    local text
    text=$(ocr 294 315 225 28 id)
    e2e_seen="HRTF id box reading \"$text\""
    ! near "$(colours_at 298,325)" "$red" && [[ "$text" == hrtf_* ]]
}

update_button_offered() { grab && near "$(colours_at $(($1 + 80)),377)" "$red"; }

#===============================================================================
scenario_second_launch()
{
    e2e_scenario=second-launch
    ensure_two_profiles
    e2e_scenario=second-launch
    ensure_home_page
    local first_window=$wid status=0

    PATH="$e2e_work/bin:$PATH" timeout 30 "$e2e_app" > "$e2e_work/second-launch.log" 2>&1 || status=$?
    expect "the second start to end by itself (status $status)" test "$status" != 124
    local windows
    windows=$(xdotool search --name "^$e2e_title\$" | tr '\n' ' ')
    expect "one program window, the first ($windows)" test "$windows" = "$first_window "
    expect "the program still running" app_is_running

    # The first window still answers: Show gives way to the HRTF id (too
    # small a face to be read back letter for letter; its start is enough).
    # Show does nothing while the page's check runs, and the check's result
    # may still be on its way when no request is left: press until it shows.
    wait_quiet
    wait_for 10 "HRTF id on the home page" press_show
    shot home-page-after-second-launch
}

#===============================================================================
scenario_forced_update()
{
    e2e_scenario=forced-update
    ensure_two_profiles
    e2e_scenario=forced-update
    ensure_home_page

    standin software-update --latest 0.0.12 --forced --url "$update_url" > /dev/null
    local opened
    opened=$(browser_count)
    pick_profile "$(other_profile)"
    wait_alert "Update Now!"
    expect_alert_text "Your Auralis software is out of date. Please update now for the best experience."
    shot home-page-forced-update
    accept_forced_update $((opened + 1))
    standin software-update --none > /dev/null
}

#===============================================================================
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=("${all_scenarios[@]}")

for scenario in "${scenarios[@]}"; do
    case " ${all_scenarios[*]} " in
        *" $scenario "*) ;;
        *) fail "unknown scenario \"$scenario\" (known: ${all_scenarios[*]})" ;;
    esac
done

for scenario in "${scenarios[@]}"; do
    started=$(elapsed)
    say "=== $scenario"
    "scenario_${scenario//-/_}"
    say "=== $scenario passed ($(awk -v a="$started" -v b="$(elapsed)" 'BEGIN { printf "%.1f", b - a }') s)"
done

say "passed: ${scenarios[*]}"
