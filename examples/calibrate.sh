#!/usr/bin/env bash
# Recalibrates the example forest to steady state and writes examples/cell1.par.
#
# The entries are typed into the steady-state calibration in the order a researcher would:
# observed stocks and fluxes, then fixed parameters, each a committed entry that solves once.
# Three closing entries follow, computed from the values shown at that moment:
#   knh4 = r N (1 - c) / (c r - 1), N = Nnh4aq, r = 1 - exp(-0.02 Qw) / 2, c = 1.384 Ss / Sp
#          (makes the model's NH4 uptake equal the litter N the calibration assumes);
#   Nh   = Ch1 / 22.55542 with Ch1 = 5.1558 + 649.24 + 8013.2 (the humus a run of cell 1
#          starts from);
#   Cst  = Ch1 + Cs + Ce + Ci (so the derived humus C equals Ch1).
# Then it solves again until the status is steady (at most 10 solves).
#
# usage: examples/calibrate.sh [path/to/kvsorv-cli]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build/src/kvsorv-cli}
start=$here/cell1-start.par
drivers=$here/cell1.drr
result=$here/cell1.par

entries=(
  # Observations.
  NPPf=200 NPPw=250 NPPr=150 Ps=1200 Cf=200 Cw=10000 Cr=400 Nf=5 Nw=40 Nr=10 Clf=10
  Clw=250 Clr=20 Nlf=0.2 Nlw=2 Nlr=0.4 Nnh4=1 Cst=10500 Nst=440
  # Fixed parameters.
  daymid=200 mf=80 Deltad=42.5 kappaL=10 Ww=0.12 Wf=0.4 Psiw=1.5 Psif=0.03 qu0=30 aTau=0.5
  sigmaF=1 sigmaW=1 sigmaR=1 h1=5 h2=0.75 rg=0.25 aWR=0.5 gammar=0.1 Trmax=45 Tropt=25
  kGCF=0.5 aGCF=0.1 bGCF=5 kGCW=5 aGCW=1 bGCW=50 kGCR=0.5 aGCR=0.1 bGCR=5 kGNF=0.5 aGNF=0.1
  bGNF=2 kGNW=5 aGNW=1 bGNW=20 kGNR=0.5 aGNR=0.1 bGNR=2 KCa=100 KCb=100 Kcf=100 Kcw=100
  Kcr=100 KNa=10 KNb=10 Knf=10 Knw=10 Knr=10 aTCW=0.01 aTNW=1 z=0.3 rho=1000000 kIm=20
  Ase=0.02 Aei=0.002 Aie=0.0005 Aih=0.0002 Q10d=2 beta=0.5 p=1 Ep=0.6 etanh4=100
)
sets=()
for e in "${entries[@]}"; do sets+=(--set "$e"); done

# Calibration climate: water coefficient 10 as in every run, drivers at year 0.
common=(--params "$start" --drivers "$drivers" --time 0 --water-coefficient 10)

# What the window shows after the typed entries.
shown=$("$cli" steady-state "${common[@]}" "${sets[@]}" || true)
value() { awk -F'\t' -v k="$1" -v s="$2" '$1 == k && $2 == s { print $3 }' <<<"$shown"; }
# Season lengths Sp and Ss from the first driver record (columns 8 and 9 after the time).
read -r sp ss < <(awk 'NR == 3 { print $8, $9 }' "$drivers")

closing=$(awk -v n="$(value process Nnh4aq)" -v qw="$(value process Qw)" -v sp="$sp" -v ss="$ss" \
  -v cs="$(value state Cs)" -v ce="$(value state Ce)" -v ci="$(value state Ci)" 'BEGIN {
    r = 1 - exp(-0.02 * qw) * 0.5; c = 1.384 * ss / sp; ch1 = 5.1558 + 649.24 + 8013.2
    printf "knh4=%.17g Nh=%.17g Cst=%.17g\n", r * n * (1 - c) / (c * r - 1), ch1 / 22.55542, ch1 + cs + ce + ci
  }')
for e in $closing; do sets+=(--set "$e"); done

for solves in 0 1 2 3 4 5 6 7 8 9 10; do
  status=0
  out=$("$cli" steady-state "${common[@]}" "${sets[@]}" --solves "$solves" --save "$result") || status=$?
  if [ "$status" -eq 0 ]; then
    echo "steady after the entries and $solves further solves; largest rate $(awk -F'\t' '$1 == "max_rate" { print $2 }' <<<"$out")"
    echo "written: $result"
    exit 0
  fi
done
echo "not steady after 10 further solves" >&2
exit 1
