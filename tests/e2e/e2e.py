#!/usr/bin/python3
"""Lists or runs the end-to-end tests.

  e2e.py list      one test id per line (module.Class.test)
  e2e.py run ID    runs one test
"""
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)


def test_ids(suite):
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from test_ids(item)
        else:
            yield item.id()


def main():
    if len(sys.argv) == 2 and sys.argv[1] == "list":
        suite = unittest.defaultTestLoader.discover(HERE, pattern="test_*.py", top_level_dir=HERE)
        for test_id in test_ids(suite):
            print(test_id)
        return 0
    if len(sys.argv) == 3 and sys.argv[1] == "run":
        suite = unittest.defaultTestLoader.loadTestsFromName(sys.argv[2])
        result = unittest.TextTestRunner(verbosity=2).run(suite)
        if not result.wasSuccessful():
            return 1
        # ctest counts it as skipped (SKIP_RETURN_CODE) when nothing could run here.
        return 77 if result.testsRun and len(result.skipped) == result.testsRun else 0
    print(__doc__.strip(), file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
