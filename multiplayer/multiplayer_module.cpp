// Placeholder replaced by the multiplayer module in this branch's next commits.
