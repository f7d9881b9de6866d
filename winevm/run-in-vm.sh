#!/usr/bin/env bash
# Runs one command inside the Wine machine (QEMU, software CPU) and returns
# its exit status; its output streams to this script's standard output.
#   run-in-vm.sh --image DIR [--carry PATH]... [--back PATH]... [--persist] -- COMMAND [ARG]...
# --carry PATH  a host folder or file copied onto the machine's own disk at
#               the same path before the command runs (Wine cannot map a
#               program from a shared folder, so nothing is shared)
# --back PATH   a path copied back to the host after the command, if it exists
# --persist     keep what the command changes on the image (used once, when
#               the image is made); otherwise every run starts from the image
# The command runs in the current folder, with every ZEL_*, NUV_* and WINE*
# variable of this environment. ZEL_VM_TIMEOUT (seconds, default 5400) ends
# a run that hangs; ZEL_VM_MEMORY (MiB, default 6144) sizes the machine.
set -euo pipefail
IMAGE="" PERSIST=0
CARRY=() BACK=() EXCLUDES=()
while [ $# -gt 0 ]; do
  case "$1" in
    --image) IMAGE="$(realpath -m "$2")"; shift 2 ;;
    --carry) CARRY+=("$2"); shift 2 ;;
    --back) BACK+=("$2"); shift 2 ;;
    --exclude) EXCLUDES+=("--exclude=$2"); shift 2 ;;
    --persist) PERSIST=1; shift ;;
    --) shift; break ;;
    *) echo "run-in-vm.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
[ -n "$IMAGE" ] && [ $# -gt 0 ] || { echo "usage: run-in-vm.sh --image DIR [...] -- COMMAND..." >&2; exit 2; }

WORK="$(mktemp -d "$IMAGE/run.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/zel-job"
pwd >"$WORK/zel-job/cwd"
{
  printf 'cd %q || exit 125\n' "$PWD"
  printf 'exec'; printf ' %q' "$@"; printf '\n'
} >"$WORK/zel-job/job.sh"
while IFS='=' read -r name _; do
  printf 'export %s=%q\n' "$name" "${!name}"
done < <(env | grep -E '^(ZEL_|NUV_|WINE)[A-Za-z0-9_]*=' || true) >"$WORK/zel-job/env"
: >"$WORK/zel-job/back"
for path in "${BACK[@]}"; do
  abs="$(realpath -m "$path")"
  printf '%s\n' "${abs#/}" >>"$WORK/zel-job/back"
done

# The job disk: a plain tar read straight from the block device.
tar -cf "$WORK/job.tar" -C "$WORK" zel-job
for path in "${CARRY[@]}"; do
  abs="$(realpath "$path")"
  tar -rf "$WORK/job.tar" -C / "${EXCLUDES[@]}" "${abs#/}"
done
truncate -s 4G "$WORK/out.img"

root_drive="file=$IMAGE/root.img,format=raw,if=virtio,cache=unsafe"
[ "$PERSIST" = 1 ] || root_drive="$root_drive,snapshot=on"
# The kernel's console goes to a log beside the image; the job's output is
# the second serial line, this script's standard output.
status=0
TMPDIR="$WORK" timeout --foreground -k 30 "${ZEL_VM_TIMEOUT:-5400}" \
  qemu-system-x86_64 -nodefaults -no-reboot -display none -monitor none \
    -accel tcg,thread=multi -cpu qemu64 -smp 2 -m "${ZEL_VM_MEMORY:-6144}" \
    -kernel "$IMAGE/vmlinuz" -initrd "$IMAGE/initrd.img" \
    -append "root=/dev/vda rw init=/sbin/zel-init console=ttyS0 panic=-1 quiet loglevel=3 mitigations=off" \
    -drive "$root_drive" \
    -drive "file=$WORK/job.tar,format=raw,if=virtio,readonly=on" \
    -drive "file=$WORK/out.img,format=raw,if=virtio" \
    -serial "file:$IMAGE/console.log" \
    -chardev stdio,id=job,signal=off -serial chardev:job \
    </dev/null || status=$?

mkdir -p "$WORK/back"
if ! tar -xf "$WORK/out.img" -C "$WORK/back" 2>/dev/null || [ ! -f "$WORK/back/zel-job/rc" ]; then
  echo "winevm: the machine stopped without a result (qemu status $status); its console:" >&2
  tail -30 "$IMAGE/console.log" >&2 || true
  exit 125
fi
rc="$(cat "$WORK/back/zel-job/rc")"
rm -rf "$WORK/back/zel-job"
cp -a "$WORK/back/." /
exit "$rc"
