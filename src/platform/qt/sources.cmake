# Qt adapters of the core ports.
target_sources(plotwell-gui PRIVATE
)
