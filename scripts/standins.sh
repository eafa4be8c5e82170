# Sourced by the commands whose tests, demo and benchmarks drive the drivers and orvalis
# through the stand-ins (make test, make demo, make bench): they always build against
# the stand-ins, so the platforms' locations in the environment are set aside for them,
# with one line. make deploy and a build of one's own take them (README, "Deploying").
#
#   set_platform_locations_aside <command>
set_platform_locations_aside() {
  local name given=()
  for name in ARNOLD_LOCATION MAYA_LOCATION DEVKIT_LOCATION; do
    if [ -n "${!name:-}" ]; then
      given+=("$name")
    fi
    unset "$name"
  done
  if [ ${#given[@]} -gt 0 ]; then
    echo "== $1 builds against the stand-ins: ${given[*]} set aside (make deploy builds against them)"
  fi
}
