"""Validates SARIF logs against the OASIS SARIF 2.1.0 schema kept beside
the tests: validate_sarif.py LOG..."""
import gzip
import json
import os
import sys

import jsonschema

SCHEMA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "sarif-schema-2.1.0.json.gz")

with gzip.open(SCHEMA, "rt", encoding="utf-8") as schema_file:
    validator = jsonschema.Draft4Validator(json.load(schema_file))
failed = False
for path in sys.argv[1:]:
    with open(path, encoding="utf-8") as log_file:
        errors = sorted(validator.iter_errors(json.load(log_file)), key=str)
    for error in errors:
        print(f"{path}: {error.message} at {list(error.absolute_path)}")
        failed = True
sys.exit(1 if failed else 0)
