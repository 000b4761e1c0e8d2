.PHONY: test run

# The Windows program that make run, make screenshot, make soak and the Wine benchmarks use: win64,
# or win32 where this machine can execute 32-bit programs (make run ARCH=win32).
ARCH ?= win64

# Builds everything and runs every test (installs what is missing on a fresh Debian machine).
test:
	@tools/test.sh

# Builds the program and runs it under Wine: on your display, or without one on a virtual display,
# where it calculates, exports and saves build/screenshot.png and build/export.tsv.
run:
	@tools/run.sh run $(ARCH)

# Renders the program under Wine with its default inputs after a calculation: docs/screenshot.png.
.PHONY: screenshot
screenshot:
	@tools/run.sh screenshot $(ARCH)

# Runs every fuzz target (fuzz/) for FUZZ_SECONDS seconds each, 60 unless set, on one core.
.PHONY: fuzz
fuzz:
	@tools/fuzz.sh

# The release packages in build/dist/: yieldora-<version>-win32.zip and -win64.zip (yieldora.exe,
# yieldora-cli.exe, read-me), the same as per-user Windows Installer packages (-win32.msi, -win64.msi)
# with their winget manifests (winget/; RELEASE_URL=... names where the packages will be), and
# yieldora-cli-<version>-linux-x86_64.tar.gz. SIGN_CERT=cert.pem SIGN_KEY=key.pem (files kept
# outside the checkout; SIGN_PASS=file, SIGN_TIMESTAMP=url optional) sign the programs and packages.
.PHONY: dist
dist:
	@tools/dist.sh

# A seeded random user drives the built program under Wine for SOAK_SECONDS seconds (600 unless
# set) and checks it after every action; SOAK_SEED=N repeats a run. `make test` runs it briefly.
.PHONY: soak
soak:
	@tools/soak/soak.sh $(ARCH)

# The calculate command and the start-up under Wine (Google Benchmark).
.PHONY: bench-wine
bench-wine:
	@tools/bench-wine.sh $(ARCH)
