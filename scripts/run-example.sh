#!/usr/bin/env bash
# The main job on the bundled example site: lists the model's vocabulary for now.
set -euo pipefail
build_dir=${1:-build}
"$build_dir/src/kvsorv-cli" catalogue
