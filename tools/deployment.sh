# Sourced by the test and benchmark drivers. deploy_build BUILD_DIR WORK [PART...]
# lays WORK out as an installed copy of the build: bin/ (the working
# directory, empty) and tcl/ with the protected scripts (and the plain ones
# shipped beside them), plus each named PART of the build (lib for the theme
# and the digest, icons) where the build has it.
deploy_build() {
  local build_dir=$1 work=$2 part
  shift 2
  mkdir -p "$work/bin" "$work/tcl"
  cp "$build_dir"/tcl/*.tin "$build_dir"/tcl/*.tcl "$work/tcl/"
  for part in "$@"; do
    if [ -d "$build_dir/$part" ]; then cp -r "$build_dir/$part" "$work/"; fi
  done
}
