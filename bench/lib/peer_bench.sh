# The common start of the scripts that time us next to a peer tool in one run. Sourced by them,
# never run on its own (tools/run-benchmarks.sh runs bench/*.sh only).

# bench_setup BUILD_DIR [DEFAULT]: build_dir is the given Release build, else DEFAULT under the
# source tree (build/bench); python is Debian's interpreter, which carries python3-pil where a
# python3 earlier on PATH may not.
bench_setup() {
  local root
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
  build_dir=${1:-"$root/${2:-build/bench}"}
  python=/usr/bin/python3
  [[ -x $python ]] || python=python3
}

# bench_need PROGRAM WHAT: stops with a hint when PROGRAM has not been built.
bench_need() {
  if [[ ! -x $1 ]]; then
    echo "missing $1: build $2 in a Release build first" >&2
    exit 1
  fi
}

# bench_workdir: work is a new temporary folder, removed when the script ends.
bench_workdir() {
  work=$(mktemp -d /tmp/quizmora-bench.XXXXXX)
  trap 'rm -rf "$work"' EXIT
}
