#!/usr/bin/env bash
# Brings the translation sources up to date with the texts of the sources and
# forms: language/*.ts, or the copies of them in DIR. New texts arrive
# unfinished: translate them (Qt Linguist, or by hand) before committing; the
# test translations_complete fails while any is left.
#   scripts/update-translations.sh [DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$(cd "${1:-$root/language}" && pwd)"
cd "$root"
sources=(gui base link parameters monitor)
update() {  # language file [lupdate options]
  local language="$1" file="$2"
  shift 2
  # -I: the sources include one another by their folder ("parameters/x.h").
  lupdate -silent -locations none -no-obsolete -I "$root" "$@" "${sources[@]}" \
    -target-language "$language" -ts "$dir/$file"
}
update zh_CN KorvaneINV_zh_CN.ts
update zh_TW KorvaneINV_zh_Big.ts
# English is the source language: only plural forms would need a translation.
update en KorvaneINV_Eng.ts -pluralonly
