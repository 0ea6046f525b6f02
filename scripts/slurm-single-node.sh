#!/usr/bin/env bash
# Runs an ensemble of the example site through Slurm on this machine alone: starts munge and a
# single-node Slurm (controller and node daemon, no accounting) in a scratch directory, writes
# the job-array scripts with `kvsorv-cli ensemble launch slurm`, submits them, waits for the
# merge, checks that no member is missing, and stops the daemons. Then a shard sent SIGTERM,
# as at its time limit: it keeps what it finished, and the submit script run again resumes it.
#
#   scripts/slurm-single-node.sh [BUILD_DIR]
#
# Needs root and the Debian packages slurm-wlm and munge (installed when missing). Exits with
# status 77 (skipped) when it is not root or the Slurm node does not come up on this machine.
set -euo pipefail

[ "$(id -u)" -eq 0 ] || { echo "needs root to start Slurm" >&2; exit 77; }
build_dir=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
cli=$build_dir/src/app/kvsorv-cli
work=$build_dir/slurm-single-node

missing=()
for p in slurm-wlm munge; do
  dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

rm -rf "$work"
mkdir -p "$work"/{spool,state,log,run}
cp "$here"/examples/cell1.par "$here"/examples/cell1.drr "$here"/examples/cell1b.drr "$work"/
host=$(hostname -s)
cpus=$(nproc)
# Ports of this Slurm alone, so that another one on the machine does not answer instead.
port=$((20000 + $$ % 20000))

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  # munged puts itself in the background: its pid file says which process to end.
  [ -f "$work/munge/munged.pid" ] && kill "$(cat "$work/munge/munged.pid")" 2> /dev/null || true
  wait 2> /dev/null || true
}
trap cleanup EXIT

# munge: a key of its own and a socket in the scratch directory.
mkdir -p "$work/munge"
dd if=/dev/urandom bs=1 count=1024 of="$work/munge/munge.key" status=none
chmod 700 "$work/munge"
chmod 400 "$work/munge/munge.key"
munged --force --key-file="$work/munge/munge.key" --socket="$work/munge/socket" \
  --pid-file="$work/munge/munged.pid" --log-file="$work/munge/munged.log" \
  --seed-file="$work/munge/seed"
export MUNGE_SOCKET=$work/munge/socket

cat > "$work/slurm.conf" << EOF
ClusterName=kvsorv
SlurmctldHost=$host
SlurmctldPort=$port
SlurmdPort=$((port + 1))
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$work/munge/socket
CredType=cred/munge
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/run/slurmctld.pid
SlurmdPidFile=$work/run/slurmd.pid
SlurmctldLogFile=$work/log/slurmctld.log
SlurmdLogFile=$work/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
MpiDefault=none
NodeName=$host CPUs=$cpus State=UNKNOWN
PartitionName=main Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
export SLURM_CONF=$work/slurm.conf
slurmctld -D -f "$SLURM_CONF" > "$work/log/slurmctld.out" 2>&1 &
pids+=($!)
slurmd -D -f "$SLURM_CONF" > "$work/log/slurmd.out" 2>&1 &
pids+=($!)
for _ in $(seq 60); do
  sinfo -h -o %T 2> /dev/null | grep -q idle && break
  sleep 1
done
if ! sinfo -h -o %T | grep -q idle; then
  echo "the Slurm node did not come up on this machine" >&2
  tail -n 20 "$work"/log/* >&2
  exit 77
fi

cd "$work"
cat > plan.toml << 'EOF'
params = "cell1.par"
drivers = "cell1.drr"
start = 1590
stop = 1620
members = 8
seed = 5
[[parameter]]
symbol = "mf"
distribution = "uniform"
min = 78
max = 82
[[output]]
symbol = "Cw"
yearly = true
EOF
"$cli" sample plan.toml --method lhs -o design.csv
"$cli" ensemble launch slurm plan.toml --design design.csv --shards 4 --max-running 2 -o results.nc
./results.slurm-submit.sh
for _ in $(seq 120); do
  [ -z "$(squeue -h 2> /dev/null)" ] && [ -f results.nc ] && break
  sleep 1
done
[ -f results.nc ] || { echo "Slurm did not finish the ensemble within 2 minutes" >&2; exit 1; }
"$cli" ensemble status results.nc  # exit status 3 while members are missing
echo "Slurm ran the ensemble: $work/results.nc"

# Waits until Slurm has no job left, or fails after ten minutes (a build with sanitizers runs
# the 1500 members many times slower).
queue_empty() {
  for _ in $(seq 3000); do
    [ -z "$(squeue -h 2> /dev/null)" ] && return 0
    sleep 0.2
  done
  echo "Slurm jobs still there after ten minutes:" >&2
  squeue >&2
  exit 1
}
sed 's/members = 8/members = 1500/' plan.toml > long.toml
"$cli" sample long.toml --method lhs -o long.csv
"$cli" ensemble launch slurm long.toml --design long.csv --shards 1 -o long.nc
export KVSORV_PROGRESS_SECONDS=0.2  # the shard's log gets a progress line soon
./long.slurm-submit.sh
for _ in $(seq 300); do
  grep -q "members/s" long.shard-1.log 2> /dev/null && break
  sleep 0.2
done
scancel --batch --signal=TERM "$(squeue -h -n kvsorv-ensemble -o %i)"
queue_empty
grep -q "stopped by SIGTERM" long.shard-1.log || {
  echo "the shard was not stopped by SIGTERM:" >&2
  cat long.shard-1.log >&2
  exit 1
}
[ ! -f long.nc ] || { echo "the merge ran although a shard did not finish" >&2; exit 1; }
./long.slurm-submit.sh
queue_empty
[ -f long.nc ] || { echo "the resumed shard was not merged" >&2; cat long.shard-1.log >&2; exit 1; }
"$cli" ensemble status long.nc
echo "Slurm stopped a shard with SIGTERM and resumed it: $work/long.nc"
