#!/usr/bin/env bash
# Writes the JSON record of every log at hand (the real server logs beside the
# project when present, the sample logs of examples/, the golden logs) and
# validates each against docs/match-record.schema.json, and its kill pairs
# against its people, which the schema cannot express.
# Usage: check_schema.sh RECORD_TOOL   (tests/fragtally_record_tool of a build)
# FRAGTALLY_REAL_LOGS names another folder of logs to take instead of the real ones.
# Exit status: 0 all valid, 1 a record failed, 77 python3 with jsonschema missing.
set -euo pipefail

tool=${1:?usage: check_schema.sh RECORD_TOOL}
top=$(cd "$(dirname "$0")/../.." && pwd)
schema=$top/docs/match-record.schema.json

if ! python3 -c 'import jsonschema' 2>/dev/null; then
  echo "check_schema.sh: python3 with jsonschema (python3-jsonschema) is missing; skipped"
  exit 77
fi

logs=("$top/examples/sample.log" "$top"/examples/logs/*.log "$top"/tests/golden/*/input.log)
real_logs=${FRAGTALLY_REAL_LOGS:-$top/../shared/real-logs}
if [ -d "$real_logs" ]; then
  for log in "$real_logs"/*.log; do [ -f "$log" ] && logs+=("$log"); done
fi

records=$(mktemp -d)
trap 'rm -rf "$records"' EXIT
n=0
for log in "${logs[@]}"; do
  n=$((n + 1))
  if ! "$tool" "$log" > "$records/$n.json"; then
    echo "FAILED: no record of $log"
    exit 1
  fi
  echo "$log" > "$records/$n.name"
done

python3 - "$schema" "$records" "$n" <<'PY'
import json, sys
from jsonschema import Draft202012Validator

schema_path, folder, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
with open(schema_path, encoding="utf-8") as f:
    schema = json.load(f)
Draft202012Validator.check_schema(schema)
validator = Draft202012Validator(schema)
failed = 0
for i in range(1, count + 1):
    with open(f"{folder}/{i}.name", encoding="utf-8") as f:
        name = f.read().strip()
    with open(f"{folder}/{i}.json", "rb") as f:
        raw = f.read()
    problems = []
    if raw.startswith(b"\xef\xbb\xbf"):
        problems.append("starts with a byte-order mark")
    if not raw.endswith(b"\n"):
        problems.append("does not end with a line end")
    try:
        record = json.loads(raw.decode("utf-8"))
        problems += [f"{'/'.join(map(str, e.absolute_path))}: {e.message}" for e in validator.iter_errors(record)]
        if not problems:
            people = len(record["people"])
            pairs = [(p["killer"], p["victim"]) for p in record["kill_pairs"]]
            if any(k >= people or v >= people or k == v for k, v in pairs):
                problems.append("a kill pair names someone beyond the people, or a person of himself")
            if pairs != sorted(set(pairs)):
                problems.append("kill pairs not by killer, then victim, each once")
    except (UnicodeDecodeError, json.JSONDecodeError) as error:
        problems.append(f"not UTF-8 JSON: {error}")
    if problems:
        failed += 1
        print(f"FAILED: {name}")
        for problem in problems[:20]:
            print(f"  {problem}")
    else:
        print(f"valid: {name} ({len(record['players'])} players, {len(record['weapons'])} weapons, "
              f"{len(record['people'])} people)")
print(f"{count - failed} passed, {failed} failed")
sys.exit(1 if failed else 0)
PY
