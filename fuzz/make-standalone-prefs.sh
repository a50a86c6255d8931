#!/usr/bin/env bash
# Writes hand-made "standalone.prefs" files that once broke its reader into the folder given: a device name
# holding one Latin-1 byte (invalid UTF-8), 140,000 nested elements, and one element with 70,000 attributes.
# Each stays under the reader's 1 MiB size limit, so that the reader parses it. The build writes them beside
# the seeds rather than keeping 1.7 MB of them in the repository.
set -euo pipefail
out="$1"
mkdir -p "$out"
head='<?xml version="1.0" encoding="UTF-8"?>\n<StandalonePreferences><Audio>'
tail='</Audio></StandalonePreferences>\n'

printf "$head"'<DEVICESETUP deviceType="ALSA" audioOutputDeviceName="Sortie \xe0 gauche" audioDeviceRate="44100"/>'"$tail" \
    >"$out/latin1-device-name.prefs"

{
    printf "$head"'<DEVICESETUP deviceType="ALSA">'
    awk 'BEGIN { for (i = 0; i < 140000; i++) printf "<e>"; for (i = 0; i < 140000; i++) printf "</e>" }'
    printf '</DEVICESETUP>'"$tail"
} >"$out/deep-nesting.prefs"

{
    printf "$head"'<DEVICESETUP deviceType="ALSA"'
    awk 'BEGIN { for (i = 0; i < 70000; i++) printf " a%d=\"1\"", i }'
    printf '/>'"$tail"
} >"$out/many-attributes.prefs"
