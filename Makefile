.PHONY: test run

# Builds everything and runs every test (installs what is missing on a fresh Debian machine).
test:
	@tools/test.sh

# Builds the program and runs it under Wine: on your display, or without one on a virtual display,
# where it calculates, exports and saves build/screenshot.png and build/export.tsv.
run:
	@tools/run.sh run

# Renders the program under Wine with its default inputs after a calculation: docs/screenshot.png.
.PHONY: screenshot
screenshot:
	@tools/run.sh screenshot
