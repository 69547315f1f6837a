#!/usr/bin/env bash
# Proves that the README holds on a machine that has nothing but a minimal
# Debian 12: builds such a root with mmdebstrap (minbase plus git,
# ca-certificates and sudo, as a new user's machine), copies the working tree
# into it and runs, as an ordinary user with sudo:
#   - README command 2 (install, build, every test), or COMMAND when given;
#   - then, without COMMAND, README command 3 (the Debian package), shows the
#     package's control data, and installs the package with apt-get into a
#     second fresh root that has no build tools, where the installed programs
#     must run: vantreo-cli --version, vantreo-cli --port sim params read,
#     vantreo --demo on the offscreen platform until it quits by itself.
#
#   sudo scripts/fresh-debian-check.sh [COMMAND]
#
# Environment:
#   FRESH_WORK   where the roots are made (default /var/tmp/vantreo-fresh);
#                emptied at the start and, unless FRESH_KEEP=1, at the end
#   FRESH_CACHE  downloaded packages and the compiler cache, kept between runs
#                so that a second run downloads and compiles less
#                (default /var/cache/vantreo-fresh); FRESH_CACHE= turns it off
#   FRESH_SUITE  the Debian release (default bookworm)
# mmdebstrap is installed with apt-get when missing; it uses this machine's
# apt sources. Needs root (mount, chroot).
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
work="${FRESH_WORK:-/var/tmp/vantreo-fresh}"
cache="${FRESH_CACHE-/var/cache/vantreo-fresh}"
suite="${FRESH_SUITE:-bookworm}"
command="${1:-}"
builder=builder

if [ "$(id -u)" -ne 0 ]; then
  echo "$0: needs root (mmdebstrap, mount and chroot); run it with sudo" >&2
  exit 2
fi

# --- stages and their times ---------------------------------------------------
stage_names=()
stage_times=()
stage() {
  local name="$1"
  shift
  local start=$SECONDS
  echo "=== $name"
  "$@"
  stage_names+=("$name")
  stage_times+=($((SECONDS - start)))
  echo "=== $name: $((SECONDS - start)) s"
}
print_times() {
  local i
  echo "=== fresh-system stage times"
  for i in "${!stage_names[@]}"; do
    printf '  %-44s %5d s\n' "${stage_names[$i]}" "${stage_times[$i]}"
  done
}

# --- the README's commands ------------------------------------------------------
# The line after "# N." in the README's first sh block, exactly as written.
readme_command() {
  awk -v n="$1" '
    /^```sh/ { inblock = 1; next }
    /^```/ && inblock { exit }
    inblock && want { print; exit }
    inblock && $0 ~ "^# " n "\\. " { want = 1 }
  ' "$repo/README.md"
}

# --- roots ----------------------------------------------------------------------
mounted=()
unmount_all() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -R "${mounted[$i]}" 2>/dev/null || umount -lR "${mounted[$i]}" 2>/dev/null || true
  done
  mounted=()
}
cleanup() {
  local status=$?
  unmount_all
  if [ "${FRESH_KEEP:-0}" != 1 ]; then
    rm -rf "$work"
  else
    echo "kept: $work"
  fi
  exit "$status"
}
trap cleanup EXIT

mount_into() {  # ROOT: what a running system has, for the chroot
  local root="$1"
  mount -t proc proc "$root/proc" && mounted+=("$root/proc")
  mount -t sysfs sysfs "$root/sys" && mounted+=("$root/sys")
  mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" && mounted+=("$root/dev")
  mount -t tmpfs -o mode=1777 tmpfs "$root/tmp" && mounted+=("$root/tmp")
  if [ -n "$cache" ]; then
    mkdir -p "$cache/apt" "$root/var/cache/apt/archives"
    mount --bind "$cache/apt" "$root/var/cache/apt/archives" && mounted+=("$root/var/cache/apt/archives")
  fi
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  echo "127.0.0.1 localhost $(hostname)" >"$root/etc/hosts"
}

make_root() {  # ROOT [PACKAGES]: a minimal Debian with an ordinary user
  local root="$1" include="${2:-}"
  local args=(--variant=minbase --quiet)
  [ -n "$include" ] && args+=("--include=$include")
  if [ -n "$cache" ]; then
    mkdir -p "$cache/apt"
    args+=(--setup-hook="mkdir -p \"\$1/var/cache/apt/archives\""
      --setup-hook="sync-in $cache/apt /var/cache/apt/archives"
      --customize-hook="sync-out /var/cache/apt/archives $cache/apt")
  fi
  mmdebstrap "${args[@]}" "$suite" "$root"
  chroot "$root" useradd --create-home --shell /bin/bash "$builder"
  if [ -x "$root/usr/bin/sudo" ]; then
    echo "$builder ALL=(ALL) NOPASSWD:ALL" >"$root/etc/sudoers.d/$builder"
    chmod 0440 "$root/etc/sudoers.d/$builder"
  fi
  mount_into "$root"
}

as_user() {  # ROOT COMMAND: run COMMAND in ROOT as the ordinary user, in ~/vantreo
  local root="$1" cmd="$2"
  chroot "$root" /usr/sbin/runuser -u "$builder" -- env -i HOME="/home/$builder" \
    USER="$builder" LOGNAME="$builder" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 \
    TERM=dumb ${CI:+CI="$CI"} bash -c "cd ~ && { [ ! -d vantreo ] || cd vantreo; } && $cmd"
}

copy_tree() {  # ROOT: the working tree (tracked and new files, not ignored ones)
  local root="$1" dest="$1/home/$builder/vantreo"
  mkdir -p "$dest"
  (cd "$repo" && git ls-files -z --cached --others --exclude-standard |
    tar --null --ignore-failed-read -T - -cf -) | tar -xf - -C "$dest"
  chroot "$root" chown -R "$builder:$builder" "/home/$builder/vantreo"
  if [ -n "$cache" ]; then
    # The compiler cache of earlier runs; the compiler, headers and flags are
    # hashed, so a missing package still fails the build.
    mkdir -p "$cache/ccache" "$root/home/$builder/.cache/ccache"
    chown -R "$(chroot "$root" id -u "$builder"):$(chroot "$root" id -g "$builder")" "$cache/ccache"
    mount --bind "$cache/ccache" "$root/home/$builder/.cache/ccache"
    mounted+=("$root/home/$builder/.cache/ccache")
    chroot "$root" chown "$builder:$builder" "/home/$builder/.cache"
  fi
}

# --- the checks -----------------------------------------------------------------
check_control() {  # DEB: the computed and the added dependencies are there
  local deb="$1" depends
  dpkg-deb -I "$deb"
  depends="$(dpkg-deb -f "$deb" Depends)"
  for needed in libqt5core5a libqt5gui5 libqt5widgets5 libqt5serialport5 libqwt-qt5 libfreexl1 \
      libc6 fonts-wqy-microhei qttranslations5-l10n; do
    if ! grep -q "\\b$needed\\b" <<<"$depends"; then
      echo "the package does not depend on $needed: Depends: $depends" >&2
      return 1
    fi
  done
}

installed_checks='
set -e
for tool in g++ c++ cmake make; do
  if command -v "$tool" >/dev/null; then echo "build tool $tool is here: not a root without build tools" >&2; exit 1; fi
done
echo "--- vantreo-cli --version"
vantreo-cli --version
echo "--- vantreo-cli --port sim params read"
vantreo-cli --port sim params read >params.tsv
head -5 params.tsv
rows=$(wc -l <params.tsv)
echo "($rows rows)"
[ "$rows" -ge 50 ] || { echo "vantreo-cli printed $rows rows" >&2; exit 1; }
echo "--- vantreo --demo --quit-after 3 (offscreen)"
status=0
QT_QPA_PLATFORM=offscreen timeout 120 vantreo --demo --quit-after 3 || status=$?
echo "vantreo exited with status $status"
[ "$status" -eq 0 ]
'

# --- the run ----------------------------------------------------------------------
main() {
  if ! command -v mmdebstrap >/dev/null; then
    stage "install mmdebstrap" bash -c \
      "apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends mmdebstrap"
  fi
  rm -rf "$work"
  mkdir -p "$work"
  local build_root="$work/build-root" run_root="$work/run-root"
  local test_command package_command
  test_command="${command:-$(readme_command 2)}"
  package_command="$(readme_command 3)"
  if [ -z "$test_command" ] || { [ -z "$command" ] && [ -z "$package_command" ]; }; then
    echo "$0: README.md has no command 2 or 3 to run" >&2
    exit 1
  fi

  stage "fresh root (minbase, git, ca-certificates, sudo)" \
    make_root "$build_root" git,ca-certificates,sudo
  stage "copy of the working tree" copy_tree "$build_root"
  echo "\$ $test_command"
  stage "README command 2 in the fresh root" as_user "$build_root" "$test_command"
  if [ -n "$command" ]; then
    print_times
    return
  fi

  echo "\$ $package_command"
  stage "README command 3 (the package)" as_user "$build_root" "$package_command"
  local debs=("$build_root/home/$builder/vantreo/build/"vantreo_*_amd64.deb)
  if [ ! -f "${debs[0]}" ]; then
    echo "$0: README command 3 made no vantreo_<version>_amd64.deb in build/" >&2
    exit 1
  fi
  stage "package control data" check_control "${debs[0]}"
  cp "${debs[0]}" "$work/"
  local deb_name
  deb_name="$(basename "${debs[0]}")"
  umount -R "$build_root/home/$builder/.cache/ccache" 2>/dev/null || true

  stage "second fresh root (minbase, no build tools)" make_root "$run_root"
  cp "$work/$deb_name" "$run_root/tmp/"
  stage "apt-get install ./$deb_name" chroot "$run_root" bash -c \
    "cd /tmp && apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends ./$deb_name"
  stage "installed programs run" as_user "$run_root" "$installed_checks"
  print_times
}
main
