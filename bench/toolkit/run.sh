#!/usr/bin/env bash
# Times the design-run evaluation loop on our toolkit and on epanet-js and prints one table of
# CPU microseconds per evaluation (CPU time, so that other work on the machine counts little),
# the median of five samples on each side.
#   bench/toolkit/run.sh [build-dir]        (default: build; needs target kvepa2-bench built
#                                            and the oracle's node_modules installed)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
networks=${KELVARN_NETWORKS_DIR:-$root/../shared/networks}
bench=$build/bin/kvepa2-bench
if [ ! -x "$bench" ]; then
  echo "run.sh: $bench not found; build it with: cmake --build $build --target kvepa2-bench" >&2
  exit 1
fi
if [ ! -d "$root/hydraulics/toolkit/tests/oracle/node_modules/epanet-js" ]; then
  echo "run.sh: epanet-js is not installed; run scripts/install-deps" >&2
  exit 1
fi
json=$(mktemp)
trap 'rm -f "$json"' EXIT
"$bench" --networks "$networks" --benchmark_min_time=0.2 --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_format=json >"$json"
node "$root/bench/toolkit/bench-epanet.js" --networks "$networks" --ours "$json" --seconds 1
