#!/bin/bash
# Signs Windows programs in place with Authenticode, SHA-256, through
# osslsigncode: the build runs it on the programs of the release folder, on
# the uninstaller before the installer stores it, and on the installer.
#
#   sign.sh OSSLSIGNCODE PFX DESCRIPTION URL TIMESTAMP_URL FILE...
#
# DESCRIPTION and URL are what Windows shows as the signature's description;
# TIMESTAMP_URL, when not empty, an RFC 3161 time-stamp server, so that the
# signature stays valid after the certificate expires. The PFX's password is
# taken from the environment (OMBREL_SIGN_PASSWORD) and handed over on a
# pipe: it never lies in a file of the build nor on a command line that
# other users can list. A file that cannot be signed is removed, so that
# nothing unsigned goes on to be packed as if it had been signed.
set -euo pipefail
osslsigncode=$1 pfx=$2 description=$3 url=$4 timestamp_url=$5
shift 5

fail() {  # FILE MESSAGE
  rm -f -- "$1" "$1.signed"
  echo "sign.sh: $2" >&2
  exit 1
}

options=(sign -pkcs12 "$pfx" -h sha256 -n "$description" -i "$url")
[ -z "$timestamp_url" ] || options+=(-ts "$timestamp_url")
for file in "$@"; do
  if [ -z "${OMBREL_SIGN_PASSWORD+set}" ]; then
    fail "$file" "OMBREL_SIGN_PASSWORD is not set: the build reads the password of $pfx from the environment"
  fi
  # osslsigncode reads no empty password from a pipe: a PFX without one.
  if [ -z "$OMBREL_SIGN_PASSWORD" ]; then
    "$osslsigncode" "${options[@]}" -pass '' -in "$file" -out "$file.signed" >/dev/null ||
      fail "$file" "could not sign $file with $pfx"
  else
    printf '%s' "$OMBREL_SIGN_PASSWORD" |
      "$osslsigncode" "${options[@]}" -readpass /dev/stdin -in "$file" -out "$file.signed" >/dev/null ||
      fail "$file" "could not sign $file with $pfx"
  fi
  mv -f -- "$file.signed" "$file"
done
