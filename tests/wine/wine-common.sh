# Shared by the Wine scripts of the tests: the environment and the guard around the machine's
# serial devices. Source it with WINEPREFIX set.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# Every Wine process of a test run is on the run's display (wine-prefix.sh), the headless
# ones too: Wine's desktop process keeps the display of whichever process started it.
if [ -s "$WINEPREFIX.display" ]; then
  export DISPLAY=$(cat "$WINEPREFIX.display")
fi

# The ports the program can name; each is mapped explicitly by wine-prefix.sh.
hakaron_program_ports=16

# Wine run as root gives the machine's serial devices (/dev/ttyS0 is its console) COM ports
# of its own accord. As root every Wine process of ours runs in a mount namespace where those
# devices are /dev/null, so not even a stray enumeration can reach the console.
hakaron_wine_argv() {
  if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
    WINE_ARGV=(unshare -m sh -c 'for d in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM*; do
                                   [ -e "$d" ] && mount --bind /dev/null "$d"
                                 done; exec "$@"' sh "$@")
  else
    WINE_ARGV=("$@")
  fi
}
hakaron_wine() {
  hakaron_wine_argv "$@"
  "${WINE_ARGV[@]}"
}

# Fails when a COM port of the program, or any COM port where the devices are not shadowed,
# leads to a serial device of the machine.
hakaron_check_ports() {
  local shadowed=0 link n status=0
  [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null && shadowed=1
  for link in "$WINEPREFIX"/dosdevices/com*; do
    [ -L "$link" ] || continue
    n=${link##*/com}
    case $(readlink "$link") in
      /dev/ttyS* | /dev/ttyUSB* | /dev/ttyACM*)
        if [ "$shadowed" = 0 ] || [ "$n" -le "$hakaron_program_ports" ]; then
          echo "wine: $link points at $(readlink "$link"); refusing to start" >&2
          status=1
        fi
        ;;
    esac
  done
  return $status
}
