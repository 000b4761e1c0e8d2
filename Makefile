.PHONY: test run

# Builds everything and runs every test (installs what is missing on a fresh Debian machine).
test:
	@tools/test.sh

# Builds the program and runs it under Wine.
run:
	@echo "yieldora.exe is not built yet: the main dialog has not landed. Use 'make test'."
	@exit 1
