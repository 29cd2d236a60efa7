// Where the page finds the range. The club changes these when it sets up its broker; the query
// can override them: ?range=club&user=spectator&password=...&broker=ws://host:port
var ZARK_RANGE_CONFIG = {
  range: "club",
  user: "spectator",
  password: "spectator",
};
