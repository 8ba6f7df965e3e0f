# Sourced by the Wine helper scripts: the environment every Wine call here uses.
# Mono and Gecko are switched off so that no installer dialog ever pops up.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEARCH
