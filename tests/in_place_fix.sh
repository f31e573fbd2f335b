#!/usr/bin/env bash
# In-place fixing as the tests in tests/cases cannot run it:
#   in_place_fix.sh TOOL interrupted [EMULATOR...]
#                                      a run ended by a signal after it has
#                                      started writing leaves the folder
#                                      exactly as it was
#   in_place_fix.sh TOOL durable [EMULATOR...]
#                                      the copy reaches the disk before it
#                                      takes the input's place, and the
#                                      folder after
#   in_place_fix.sh TOOL scan_interrupted [EMULATOR...]
#                                      a scan mending files on several
#                                      threads, ended by a signal, leaves
#                                      no copy behind and every file whole,
#                                      as it was or mended
# Exit status 77 means skipped (the facility is missing).
set -u
tool=$(realpath "$1")
what=$2
[ "$(uname -s)" = Linux ] && [ $# -le 2 ] || { echo "skipped: needs Linux, natively"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1

# Enough quads above the error angle that the console report outgrows any
# pipe: a run whose report nobody reads stops in the middle of the file.
awk 'BEGIN { for (i = 0; i < 20000; i++) printf "4 16 0 0 0 1 0 0 1 1 0 0 1 1\r\n" }' > original.dat
fresh_folder() {
  rm -rf work
  mkdir work
  cp original.dat work/part.dat
}
folder_as_it_was() {
  [ "$(ls -A work)" = part.dat ] && cmp -s original.dat work/part.dat
}

failed=0
case "$what" in
  interrupted)
    for signal in INT TERM HUP KILL; do
      fresh_folder
      mkfifo console
      # Background commands start with SIGINT ignored; the tool must not.
      env --default-signal=INT "$tool" -c work/part.dat work/part.dat < /dev/null > console &
      pid=$!
      exec 3< console  # opened, never read
      for _ in $(seq 400); do
        case "$(cat /proc/$pid/wchan 2> /dev/null)" in *pipe_write) break ;; esac
        sleep 0.05
      done
      kill -s "$signal" "$pid"
      wait "$pid"
      status=$?
      exec 3<&-
      rm console
      expected=$((128 + $(kill -l "$signal")))
      [ "$status" = "$expected" ] || { echo "SIG$signal: status $status, expected $expected"; failed=1; }
      folder_as_it_was || { echo "SIG$signal: the folder changed:"; ls -lA work; failed=1; }
    done
    # A reader of the report that goes away: the next write raises SIGPIPE.
    fresh_folder
    "$tool" -c work/part.dat work/part.dat < /dev/null | head -c 1 > /dev/null
    status=${PIPESTATUS[0]}
    [ "$status" = 141 ] || { echo "SIGPIPE: status $status, expected 141"; failed=1; }
    folder_as_it_was || { echo "SIGPIPE: the folder changed:"; ls -lA work; failed=1; }
    ;;
  scan_interrupted)
    # Files that each have a mend, and what each becomes.
    mkdir -p mended
    printf '0 p\n4 16 0 0 0 1 0 0 1 1 0 0 1 1\n' > small.dat
    printf '0 p\n3 16 0 0 0 1 0 0 1 1 0\n3 16 0 0 0 1 1 0 0 1 1\n5 24 0 0 0 1 1 0 1 0 0 0 1 1\n' > small.mended
    mkdir library
    for i in $(seq 100 299); do cp small.dat "library/p$i.dat"; done
    fresh_library() {
      rm -rf work
      cp -R library work
    }
    old=$(cksum < small.dat)
    new=$(cksum < small.mended)
    library_whole() {
      if ls -A work | grep -v '^p[0-9]*\.dat$'; then echo "$1: a copy was left behind"; return 1; fi
      cksum work/*.dat | awk -v old="$old" -v new="$new" -v what="$1" '
        $1 " " $2 != old && $1 " " $2 != new { print what ": " $3 " is neither"; bad = 1 }
        END { exit bad }'
    }
    # Two copies named at once, one on each thread, when the signal comes.
    fresh_library
    SKEWQUAD_INTERPOSE=signal-on-second-link LD_PRELOAD="${tool%/*}/libskewquad_interpose.so" \
      ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
      "$tool" --scan --fix --jobs=2 work > /dev/null < /dev/null
    status=$?
    [ "$status" = 143 ] || { echo "two copies named: status $status, expected 143"; failed=1; }
    library_whole "two copies named" || failed=1
    # And signals at any moment of a run.
    for try in $(seq 0 11); do
      signal=$(echo INT TERM HUP | cut -d' ' -f$((try % 3 + 1)))
      fresh_library
      env --default-signal=INT "$tool" --scan --fix --jobs=2 work > /dev/null < /dev/null &
      pid=$!
      sleep "0.0$((try * 7 % 10))"
      kill -s "$signal" "$pid" 2> /dev/null
      wait "$pid"
      library_whole "SIG$signal, try $try" || failed=1
    done
    fresh_library
    "$tool" --scan --fix --jobs=2 --warnings work < /dev/null | head -c 1 > /dev/null
    library_whole "SIGPIPE" || failed=1
    ;;
  durable)
    command -v strace > /dev/null || { echo "skipped: needs strace"; exit 77; }
    fresh_folder
    strace -f -o trace -e trace=openat,fsync,fdatasync,linkat,renameat,renameat2,rename \
      "$tool" -c work/part.dat work/part.dat < /dev/null > /dev/null
    # The copy's descriptor, the folder's, and the order of what is done
    # with them.
    copy=$(grep -E 'O_TMPFILE|O_EXCL' trace | grep -oE '= [0-9]+$' | head -n 1 | cut -c3-)
    folder=$(grep -E 'O_DIRECTORY' trace | grep -oE '= [0-9]+$' | tail -n 1 | cut -c3-)
    order=$(grep -oE "f(data)?sync\(($copy|$folder)\)|rename(at2?)?\(" trace |
      sed -e "s/.*sync($copy)/copy-synced/" -e "s/.*sync($folder)/folder-synced/" -e 's/rename.*/renamed/' |
      tr '\n' ' ')
    [ "$order" = "copy-synced renamed folder-synced " ] || {
      echo "expected the copy synced, renamed, the folder synced; saw: $order"
      cat trace
      failed=1
    }
    ;;
esac
exit $failed
