# shellcheck shell=bash
# Named stages with their times, for the test tiers; source it.
#   stage NAME    ends the stage before (its time is printed) and starts NAME
#   stages_done   ends the last one and prints every stage's time and the total
#                 (also when the script stops early)
stage_names=()
stage_seconds=()
stage_started=$SECONDS
stages_begun=$SECONDS

stage_end() {
  if [ "${#stage_names[@]}" -gt "${#stage_seconds[@]}" ]; then
    stage_seconds+=($((SECONDS - stage_started)))
    echo "   (${stage_seconds[-1]} s)"
  fi
}

stage() {
  stage_end
  stage_names+=("$1")
  stage_started=$SECONDS
  echo "== $1"
}

stages_done() {
  [ -z "${stages_printed:-}" ] || return 0
  stages_printed=1
  stage_end
  echo "== times"
  local i
  for i in "${!stage_names[@]}"; do
    printf '  %5d s  %s\n' "${stage_seconds[$i]}" "${stage_names[$i]}"
  done
  printf '  %5d s  in all\n' $((SECONDS - stages_begun))
}
trap stages_done EXIT
