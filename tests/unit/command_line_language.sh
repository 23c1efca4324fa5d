#!/bin/bash
# What a run from the shell prints is in the user's language: the desktop's locale, or the
# preference in the settings, which such a run reads but never repairs. The files the build
# writes with --dump-* stay in the source texts whatever the builder's locale.
set -u
tessal=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config
unset LANGUAGE LC_ALL LC_MESSAGES
settings=$XDG_CONFIG_HOME/local.ostrel/defaults.json
mkdir -p "$(dirname "$settings")"
failures=0

# name | LANG | settings file contents ("" = none) | expected exit status | expected text | arguments
cases=(
  "english|en_US.UTF-8||2|--delay needs a number of seconds from 0 to 60|capture --delay -1"
  "traditional|zh_TW.UTF-8||2|--delay 需要 0 到 60 之間的秒數|capture --delay -1"
  "simplified|zh_CN.UTF-8||2|--delay 需要 0 到 60 之间的秒数|capture --delay -1"
  "hong kong|zh_HK.UTF-8||2|未知的命令：nothing|nothing"
  "another language|de_DE.UTF-8||2|Unknown command: nothing|nothing"
  "C locale|C||2|Unknown command: nothing|nothing"
  "help|en_US.UTF-8||0|Usage: tessal capture|capture --help"
  "unreadable image|en_US.UTF-8||2|: not an image format Tessal can read|ocr $0"
  "help traditional|zh_TW.UTF-8||0|選項：|capture --help"
  "preference over the locale|zh_CN.UTF-8|{\"uiLanguage\": \"en\"}|2|Unknown command: nothing|nothing"
  "damaged settings|en_US.UTF-8|{not json|2|Unknown command: nothing|nothing"
  "manual page in the source texts|en_US.UTF-8||0|截图、标注、文字识别与长截图|--dump-man"
  "completions in the source texts|en_US.UTF-8||0|显示这个命令的帮助|--dump-completions fish"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name lang contents status expected args <<<"$entry"
  rm -f "$settings"*
  [ -n "$contents" ] && printf '%s' "$contents" >"$settings"
  # shellcheck disable=SC2086
  output=$(LANG=$lang "$tessal" $args 2>&1)
  got=$?
  if [ "$got" != "$status" ] || [[ "$output" != *"$expected"* ]]; then
    echo "FAIL $name: status $got (want $status), want \"$expected\" in:"
    echo "$output" | head -n 5
    failures=$((failures + 1))
  fi
  # A damaged settings file is the resident program's to set aside and report.
  if [ -n "$contents" ] && [ "$(cat "$settings" 2>/dev/null)" != "$contents" ]; then
    echo "FAIL $name: the settings file was changed or moved"
    failures=$((failures + 1))
  fi
done
[ "$failures" = 0 ] && echo "all ${#cases[@]} cases passed"
exit $((failures > 0))
