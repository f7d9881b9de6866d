#!/bin/bash
# PID 1 of the Wine machine. It runs one job and powers off:
#   /dev/vdb  the job: a tar whose zel-job/ holds job.sh, cwd and back, and
#             beside it the host's trees at their host paths
#   /dev/vdc  a blank disk that receives a tar of zel-job/rc and of every
#             path listed in zel-job/back that exists
#   ttyS1     the job's standard output and error, raw, to the host
#   ttyS0     the kernel's console (a log file on the host)
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root USER=root LANG=C.UTF-8 TERM=dumb

# The initramfs hands over /proc, /sys and /dev already mounted.
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sysfs /sys
mountpoint -q /dev || mount -t devtmpfs devtmpfs /dev
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run
mount -o remount,rw /

OUT=/dev/ttyS1
# Raw: no CR before each LF, no echo; the host gets the bytes as written.
stty -F "$OUT" raw -echo -onlcr 2>/dev/null

power_off() {
  sync
  echo o >/proc/sysrq-trigger
  sleep 60
}

if ! tar -xf /dev/vdb -C / 2>"$OUT"; then
  echo "winevm: the job disk could not be read" >"$OUT"
  power_off
fi

# Every job starts from a copy of the prefix the image was made with, unless
# the job brought one of its own.
TEMPLATE=/var/lib/zel/wineprefix-template
if [ -f /zel-job/env ]; then . /zel-job/env; fi
if [ -n "${WINEPREFIX:-}" ] && [ ! -f "$WINEPREFIX/system.reg" ] && [ -f "$TEMPLATE/system.reg" ]; then
  mkdir -p "$WINEPREFIX" && cp -a "$TEMPLATE/." "$WINEPREFIX/"
fi

cd "$(cat /zel-job/cwd)" || cd /
bash /zel-job/job.sh </dev/null >"$OUT" 2>&1
echo $? >/zel-job/rc
# Wine's server and services outlive the job's last program: stop them so
# that what they write is on disk before the tar is made.
wineserver -k 2>/dev/null

back=(zel-job/rc)
while IFS= read -r path; do
  [ -n "$path" ] && [ -e "/$path" ] && back+=("$path")
done </zel-job/back
tar -cf /dev/vdc -C / "${back[@]}" 2>"$OUT"
power_off
