#!/usr/bin/env bash
# Runs a Windows program of the build under Wine with the system's ANSI code
# page 932. Wine derives the code page from the Unix locale it starts in; a
# locale the machine does not have leaves Wine at 1252 without a word, so
# say so here (the tests then fail on their code page check). On Debian:
#   apt-get install locales && echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen && locale-gen
set -e
LOCALE=ja_JP.UTF-8
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  echo "wine-cp932.sh: the locale $LOCALE is not installed; Wine will run with code page 1252" >&2
fi
export LANG="$LOCALE" LC_ALL="$LOCALE"
exec "$(dirname "${BASH_SOURCE[0]}")/../../cmake/wine-exec.sh" "$@"
