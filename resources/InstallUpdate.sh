#!/bin/sh
# Replaces an installed Tessal bundle with a verified, staged one, after the running copy has
# quit; relaunches it and leaves a result for the next launch to read.
#   InstallUpdate.sh PID INSTALLED STAGED STAGING RESULT
# Both bundles always stay complete: the old one is renamed aside (into the staging folder,
# which is on the same file system), the new one renamed into its place, and the old one is
# put back if that fails. The next launch removes the staging folder after reading "success";
# it keeps a staging folder that still holds the old copy otherwise. `mv -T` never moves a
# bundle into a folder that appeared at the destination meanwhile: the move fails instead.
set -u
pid=$1 installed=$2 staged=$3 staging=$4 result=$5

report() {
    tmp="$result.tmp.$$"
    printf '%s' "$1" > "$tmp" && mv -f -- "$tmp" "$result"
}

# Wait up to a minute for the old copy to quit.
i=0
while kill -0 "$pid" 2>/dev/null; do
    i=$((i + 1))
    if [ "$i" -gt 600 ]; then
        report "Tessal 没有退出，更新未安装。原应用未被替换。"
        exit 1
    fi
    sleep 0.1
done

if [ ! -d "$staged" ] || [ ! -f "$staged/manifest.json" ]; then
    report "准备好的更新已不存在，更新未安装。原应用未被替换。"
    exit 1
fi

previous="$staging/Previous.bundle"
if ! mv -T -- "$installed" "$previous"; then
    report "无法移开原应用（$installed），更新未安装。"
    exit 1
fi
if ! mv -T -- "$staged" "$installed"; then
    if mv -T -- "$previous" "$installed"; then
        report "无法放入新版本（$installed），已恢复原应用。"
    else
        report "无法放入新版本（$installed），也未能恢复原应用。原应用完整保存在 $previous，请将它移回原处。"
    fi
    exit 1
fi

report "success
$staging"

executable=$(sed -n 's/.*"executable"[[:space:]]*:[[:space:]]*"\([^"/]*\)".*/\1/p' \
    "$installed/manifest.json" | head -n 1)
if [ -n "$executable" ] && [ -x "$installed/bin/$executable" ]; then
    (setsid -- "$installed/bin/$executable" </dev/null >/dev/null 2>&1 &)
fi
exit 0
