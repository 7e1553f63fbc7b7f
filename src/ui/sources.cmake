# The window and its widgets.
target_sources(plotwell-gui PRIVATE
)
