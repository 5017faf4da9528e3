# The subsystem folders and the folders each may use: the one place the direction
# of dependencies is written. A folder uses only folders listed before it, so the
# graph cannot loop. The libraries link by it and tests/folders_test.cmake fails on
# an include that goes against it.
#
# render and audio are services: they draw and play what they are given and know
# nothing of the game, its view or its screen. The shell (app) knows only screens;
# main starts it with the game screen.
set(jq_folders base game render audio view ui app)
set(jq_uses_base "")
set(jq_uses_game base)
set(jq_uses_render base)
set(jq_uses_audio base)
set(jq_uses_view base game render)
set(jq_uses_ui base game view render audio)
set(jq_uses_app ui)

# The tools stand beside the game: the simulator plays the model alone, the sound
# synthesizer shares only the names of the sounds.
set(jq_tool_folders tools/sim tools/art tools/sfx)
set(jq_uses_tools/sim base game)
set(jq_uses_tools/art "")
set(jq_uses_tools/sfx audio)
