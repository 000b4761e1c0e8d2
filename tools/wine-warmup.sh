#!/bin/bash
# Starts the background processes of the current WINEPREFIX (services, explorer, 32-bit and
# 64-bit sides) with their output going nowhere, so that later programs find them running.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
wine 'C:\windows\syswow64\cmd.exe' /c exit </dev/null >/dev/null 2>&1 || true
