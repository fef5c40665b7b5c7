# (filled by its issue)
