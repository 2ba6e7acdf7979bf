#!/usr/bin/env bash
# Installs the Debian packages that Zorvik needs and that are missing.
#   scripts/install-deps.sh build   what building needs
#   scripts/install-deps.sh test    that, plus the real peers the tests talk to
#   scripts/install-deps.sh bench   that, plus the peers the benchmarks measure
# Runs apt-get only when something is missing; uses sudo when not root.
set -euo pipefail

build_packages=(cmake ninja-build clang g++ pkg-config libgtest-dev libbenchmark-dev libssl-dev qt6-base-dev fonts-noto-cjk libxml2-dev)
# dovecot-core brings Dovecot's TLS; openssl makes the test certificates;
# ca-certificates is the trust store the client verifies against.
test_packages=(nkf python3 libc-bin dovecot-core dovecot-pop3d python3-aiosmtpd openssl ca-certificates xvfb xauth xdotool imagemagick poppler-utils)
# postfix brings smtp-source, the SMTP load generator the send benchmark compares with.
bench_packages=(msmtp fetchmail libgmime-3.0-dev ripgrep postfix)

wanted=("${build_packages[@]}")
case "${1:-build}" in
  test) wanted+=("${test_packages[@]}") ;;
  bench) wanted+=("${test_packages[@]}" "${bench_packages[@]}") ;;
esac

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
