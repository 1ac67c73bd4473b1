# mesh subsystem.
target_sources(meshshade_core PRIVATE
)
