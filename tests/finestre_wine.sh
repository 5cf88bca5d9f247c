# Helpers for the scripts that drive the Windows program under Wine and Xvfb
# (sourced, not run). Needs WINE (the loader) and DISPLAY set.

# Visible top-level windows of a process whose title is not one of Wine's own
# helpers, as "ID TITLE" lines.
finestre_di() {
  local w nome
  for w in $(xdotool search --onlyvisible --all --pid "$1" --name '' 2>/dev/null); do
    nome=$(xdotool getwindowname "$w" 2>/dev/null) || continue
    [ -n "$nome" ] && [ "$nome" != "Default IME" ] && printf '%s %s\n' "$w" "$nome"
  done
  return 0
}

# Waits (at most $3 seconds) for a window of process $1 whose title is not
# $2, and prints its id; fails when the process ends or the time runs out.
aspetta_finestra_diversa_da() {
  local pid=$1 escluso=$2 limite=$(( $(date +%s) + $3 )) riga
  while [ "$(date +%s)" -le "$limite" ]; do
    kill -0 "$pid" 2>/dev/null || return 1
    while read -r riga; do
      [ -n "$riga" ] && [ "${riga#* }" != "$escluso" ] && { echo "${riga%% *}"; return 0; }
    done < <(finestre_di "$pid")
    sleep 0.2
  done
  return 1
}

# Presses OK on a message box: focus to it, then Return.
premi_ok() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  xdotool key Return
}

# Waits (at most $3 seconds) until window $1 of process $2 is no longer on the
# screen or the process has ended. Under Wine an answered box can take a
# couple of seconds to go.
aspetta_chiusura() {
  local limite=$(( $(date +%s) + $3 ))
  while kill -0 "$2" 2>/dev/null && finestre_di "$2" | grep -q "^$1 "; do
    [ "$(date +%s)" -le "$limite" ] || return 1
    sleep 0.1
  done
}
