<?php
declare(strict_types=1);

namespace App\Http;

/**
 * Lists the users of a team.
 */
final class TeamController extends Controller
{
    public function __construct(private readonly UserRepository $users) {}

    public function index(int $teamId): array
    {
        $rows = $this->users->findByTeam($teamId); // may be empty
        # old-style comment
        $label = match (count($rows)) {
            0 => 'nobody',
            1 => "one member: {$rows[0]->name}",
            default => sprintf('%d members', count($rows)),
        };
        $sql = <<<SQL
            SELECT id, name
            FROM users WHERE team = $teamId
            SQL;
        $note = 'spans
two lines';
        return ['label' => $label, 'hex' => 0x1F, 'big' => 1_000_000];
    }
}
?>
<!DOCTYPE html>
<html>
<body>
  <h1 class="title"><?= htmlspecialchars($title) ?></h1>
  <?php foreach ($items as $item): ?>
    <li onclick="pick(<?php echo $item->id; ?>)"><?= $item->name ?></li>
  <?php endforeach; ?>
  <script>const n = <?= count($items) ?>; /* js comment */</script>
</body>
</html>
